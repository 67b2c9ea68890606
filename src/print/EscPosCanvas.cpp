#include "print/EscPosCanvas.h"

#include "print/EscPosBell.h"
#include "print/EscPosRaster.h"
#include "print/EscPosStatusQuery.h"

#include <algorithm>

namespace {

const QString kWithoutStatus = QStringLiteral("Yazici durum bildirmiyor, kagit durumu gorulemiyor");

} // namespace

EscPosAnswerHistory::Seen EscPosAnswerHistory::Of(const QString& path) const {
    const Answers answers = m_seen.value(path);
    if (answers.seen == Seen::NeverAnswered && answers.askAgain.hasExpired())
        return Seen::NotAsked;
    return answers.seen;
}

void EscPosAnswerHistory::Record(const QString& path, Seen seen) {
    m_seen.insert(path, {seen, QDeadlineTimer(kAskAgainMs)});
}

EscPosCanvas::EscPosCanvas(EscPosAddress address, EscPosTimeouts timeouts,
                           EscPosAnswerHistory& history)
    : RasterCanvas(address.dots, address.ticket)
    , m_address(std::move(address))
    , m_timeouts(timeouts)
    , m_history(history) {}

EscPosCanvas::~EscPosCanvas() = default;

void EscPosCanvas::BeginDocument(int contentHeight) {
    m_connection = EscPosConnection::Open(m_address, m_timeouts);
    m_connection->DropInput();
    // A ticket cut off before would take the question and the next ticket for picture data.
    m_connection->Write(EscPosRaster::CleanStart(m_address.dots), m_timeouts.write);
    RequireReady();
    RasterCanvas::BeginDocument(contentHeight);
}

void EscPosCanvas::EndDocument() {
    RasterCanvas::EndDocument();
    const QByteArray ticket = EscPosRaster::Encode(picture()) + EscPosBell(m_address.ticket);
    m_connection->Write(ticket, m_timeouts.write);
    m_faultAfter = FaultAfter(EscPosStatusQuery::QuestionsIn(ticket));
    m_connection.reset();
}

void EscPosCanvas::Abort() noexcept {
    RasterCanvas::Abort();
    m_connection.reset();
}

void EscPosCanvas::RequireReady() {
    m_warning.clear();
    const EscPosAnswerHistory::Seen seen = m_history.Of(m_address.path);
    m_asksStatus = m_address.asksStatus && m_connection->AnswersStatus() &&
                   seen != EscPosAnswerHistory::Seen::NeverAnswered;
    if (!m_asksStatus) {
        if (m_address.asksStatus)
            m_warning = kWithoutStatus;
        return;
    }
    const auto status = EscPosStatusQuery(*m_connection).Ask(QDeadlineTimer(m_timeouts.status));
    if (!status) {
        if (seen == EscPosAnswerHistory::Seen::Answered)
            throw EscPosConnection::Failure(EscPosStatus::kNoAnswer, m_address.path);
        m_history.Record(m_address.path, EscPosAnswerHistory::Seen::NeverAnswered);
        m_asksStatus = false;
        m_warning = kWithoutStatus;
        return;
    }
    m_history.Record(m_address.path, EscPosAnswerHistory::Seen::Answered);
    const QString reason = status->FailureReason();
    if (!reason.isEmpty())
        throw EscPosConnection::Failure(reason, m_address.path);
    m_warning = status->paperNearEnd ? EscPosStatus::kPaperNearEnd : QString();
}

QString EscPosCanvas::FaultAfter(int questionsInTicket) {
    if (!m_asksStatus)
        return QString();
    try {
        // The question queues behind whatever the printer has not printed yet.
        const auto status = EscPosStatusQuery(*m_connection, questionsInTicket)
                                .Ask(QDeadlineTimer(std::max(m_timeouts.write, m_timeouts.status)));
        if (!status)
            return EscPosConnection::Failure(EscPosStatus::kNoAnswer, m_address.path).message();
        const QString reason = status->FailureReason();
        if (!reason.isEmpty())
            return EscPosConnection::Failure(reason, m_address.path).message();
        if (status->paperNearEnd)
            m_warning = EscPosStatus::kPaperNearEnd;
    } catch (const PrinterError& error) {
        return error.message();
    }
    return QString();
}
