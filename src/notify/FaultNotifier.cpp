#include "notify/FaultNotifier.h"

#include "notify/Notification.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace {

using Phase = FaultNotifier::Phase;

struct Wording {
    const char* event;
    const char* started;
    const char* ended;
};

// None for the faults that stay in the log: the queue or its check failing (the database's
// loss or a job's failure is what a person acts on), a job's first failures, the journal's
// file.
std::optional<Wording> WordingOf(FaultKind kind) {
    switch (kind) {
    case FaultKind::PrinterFailing:
        return Wording{"printer_failing", "Yazici calismiyor", "Yazici yeniden calisiyor"};
    case FaultKind::PaperLow:
        return Wording{"paper_low", "Kagit azaliyor", "Kagit uyarisi kalkti"};
    case FaultKind::DatabaseLost:
        return Wording{"database_lost", "Veritabani baglantisi koptu",
                       "Veritabani baglantisi yeniden kuruldu"};
    case FaultKind::JobSetAside:
        return Wording{"job_set_aside", "Is atlandi", "Is artik atlanmiyor"};
    case FaultKind::Takeover:
        return Wording{"takeover", "Yedek sunucu devraldi", ""};
    case FaultKind::QueueUnreadable:
    case FaultKind::QueueCheckFailing:
    case FaultKind::JobFailing:
    case FaultKind::LeaseFailing:
    case FaultKind::LeaseUnusable:
    case FaultKind::JournalUnwritable:
    case FaultKind::JournalUnreadable:
    case FaultKind::ScreenCardsFailing:
        break;
    }
    return std::nullopt;
}

QString FaultKey(FaultKind kind, const QString& subject) {
    return QString::number(static_cast<int>(kind)) + QLatin1Char('\n') + subject.toCaseFolded();
}

QString PhaseKey(FaultKind kind, Phase phase, const QString& subject) {
    return FaultKey(kind, subject) + QLatin1Char('\n') + QString::number(static_cast<int>(phase));
}

QString PhaseName(Phase phase) {
    switch (phase) {
    case Phase::Started:
        return QStringLiteral("started");
    case Phase::Ended:
        return QStringLiteral("ended");
    case Phase::Happened:
        break;
    }
    return QStringLiteral("happened");
}

QString TimeOfDay(const QDateTime& time) {
    return time.toString(QStringLiteral("HH:mm:ss"));
}

} // namespace

FaultNotifier::FaultNotifier(QString computer, QString folder, Send send)
    : m_computer(std::move(computer))
    , m_folder(std::move(folder))
    , m_send(std::move(send))
    , m_clock([] { return QDateTime::currentDateTime(); }) {
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Review(); });
}

void FaultNotifier::setStandby(bool standby) {
    m_standby = standby;
    if (!standby)
        return;
    m_faults.clear();
    m_timer.stop();
}

void FaultNotifier::Hear(const FaultEvent& event) {
    if (!WordingOf(event.kind) || (m_standby && event.kind != FaultKind::Takeover))
        return;
    const QDateTime now = m_clock();
    if (event.kind == FaultKind::Takeover) {
        if (FreeAt(PhaseKey(event.kind, Phase::Happened, event.subject)) <= now)
            Tell(event.kind, Phase::Happened, event.subject, event.message, now);
        return;
    }
    const QString key = FaultKey(event.kind, event.subject);
    const auto found = m_faults.find(key);
    if (!event.started) {
        if (found == m_faults.end())
            return;
        found->lasts = false;
        found->detail = event.message;
    } else if (found == m_faults.end()) {
        m_faults.insert(key, {event.kind, event.subject, event.message, now});
    } else {
        // Back before its end was told: for the address it never ended.
        found->lasts = true;
        found->detail = event.message;
    }
    Review();
}

void FaultNotifier::Review() {
    const QDateTime now = m_clock();
    QDateTime next;
    for (auto it = m_faults.begin(); it != m_faults.end();) {
        Fault& fault = it.value();
        if (fault.lasts != fault.told) {
            const Phase phase = fault.lasts ? Phase::Started : Phase::Ended;
            QDateTime due = FreeAt(PhaseKey(fault.kind, phase, fault.subject));
            if (fault.lasts)
                due = std::max(due, fault.since.addSecs(m_delaySeconds));
            if (due <= now) {
                Tell(fault.kind, phase, fault.subject, fault.detail, fault.since);
                fault.told = fault.lasts;
            } else if (!next.isValid() || due < next) {
                next = due;
            }
        }
        if (!fault.lasts && !fault.told)
            it = m_faults.erase(it);
        else
            ++it;
    }
    // A message older than the repeat time holds nothing back any more.
    const QDateTime forgotten = now.addSecs(-kRepeatMinutes * 60);
    m_told.removeIf([&forgotten](const auto& told) { return told.value() <= forgotten; });
    if (next.isValid())
        m_timer.start(static_cast<int>(std::clamp<qint64>(now.msecsTo(next), 0, INT_MAX)));
    else
        m_timer.stop();
}

void FaultNotifier::SendTest() {
    m_send(Message(QStringLiteral("test"), QStringLiteral("happened"),
                   QStringLiteral("Velmora deneme bildirimi"),
                   QStringLiteral("Bildirimler bu adrese ulasiyor.")));
}

QDateTime FaultNotifier::FreeAt(const QString& key) const {
    const auto told = m_told.constFind(key);
    return told == m_told.constEnd() ? QDateTime::fromSecsSinceEpoch(0)
                                     : told.value().addSecs(kRepeatMinutes * 60);
}

void FaultNotifier::Tell(FaultKind kind, Phase phase, const QString& subject, const QString& detail,
                         const QDateTime& since) {
    const QDateTime now = m_clock();
    const Wording wording = *WordingOf(kind);
    const bool ended = phase == Phase::Ended;
    QString when = QStringLiteral("Saat ") + TimeOfDay(now);
    if (phase == Phase::Started)
        when = QStringLiteral("Baslangic: ") + TimeOfDay(since);
    else if (ended)
        when = QStringLiteral("Baslangic: ") + TimeOfDay(since) + QStringLiteral(", bitis: ") +
               TimeOfDay(now);
    Notification notification =
        Message(QLatin1String(wording.event), PhaseName(phase),
                QLatin1String(ended ? wording.ended : wording.started) +
                    (subject.isEmpty() ? QString() : QStringLiteral(": ") + subject),
                (detail.isEmpty() ? QString() : detail + QLatin1Char('\n')) + when);
    notification.subject = subject;
    notification.urgent = !ended;
    m_told.insert(PhaseKey(kind, phase, subject), now);
    m_send(notification);
}

Notification FaultNotifier::Message(const QString& event, const QString& phase,
                                    const QString& title, const QString& text) const {
    Notification notification;
    notification.event = event;
    notification.phase = phase;
    notification.title = title;
    notification.text =
        text + QLatin1Char('\n') + m_computer + QStringLiteral(" (") + m_folder + QLatin1Char(')');
    notification.computer = m_computer;
    notification.folder = m_folder;
    notification.time = m_clock();
    return notification;
}
