#include "print/EscPosCanvas.h"

#include "print/EscPosRaster.h"
#include "print/EscPosStatus.h"

#include <algorithm>

EscPosCanvas::EscPosCanvas(EscPosAddress address, EscPosTimeouts timeouts)
    : RasterCanvas(address.dots)
    , m_address(std::move(address))
    , m_timeouts(timeouts) {}

EscPosCanvas::~EscPosCanvas() = default;

void EscPosCanvas::BeginDocument(int contentHeight) {
    m_connection = EscPosConnection::Open(m_address, m_timeouts);
    RequireReady(QDeadlineTimer(m_timeouts.status));
    RasterCanvas::BeginDocument(contentHeight);
}

void EscPosCanvas::EndDocument() {
    RasterCanvas::EndDocument();
    // The answer after the ticket comes once the printer has taken every byte before it, so
    // it may wait while a long ticket drains into the printer: the write timeout covers both.
    const QDeadlineTimer written(m_timeouts.write);
    m_connection->Write(EscPosRaster::Encode(picture()), written);
    RequireReady(QDeadlineTimer(std::max<qint64>(written.remainingTime(), m_timeouts.status)));
    m_connection.reset();
}

void EscPosCanvas::Abort() noexcept {
    RasterCanvas::Abort();
    m_connection.reset();
}

void EscPosCanvas::RequireReady(QDeadlineTimer deadline) {
    if (!m_connection->AnswersStatus())
        return;
    m_connection->DropInput();
    m_connection->Write(EscPosStatus::Request(), deadline);
    const auto status =
        EscPosStatus::Decode(m_connection->Read(EscPosStatus::kAnswerBytes, deadline));
    if (!status)
        throw EscPosConnection::Failure(EscPosStatus::kNoAnswer, m_address.path);
    const QString reason = status->FailureReason();
    if (!reason.isEmpty())
        throw EscPosConnection::Failure(reason, m_address.path);
    m_warning = status->paperNearEnd ? EscPosStatus::kPaperNearEnd : QString();
}
