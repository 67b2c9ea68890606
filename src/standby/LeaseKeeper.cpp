#include "standby/LeaseKeeper.h"

#include "standby/SqlLeaseStore.h"

LeaseKeeper::LeaseKeeper(ServerIdentity self)
    : m_self(std::move(self)) {
    m_thread.setObjectName(QStringLiteral("VelmoraSunucu"));
    m_onThread.moveToThread(&m_thread);
}

LeaseKeeper::~LeaseKeeper() {
    Stop();
}

bool LeaseKeeper::Start(const ConnectionTarget& target) {
    m_thread.start();
    const auto deliver = [this](const LeaseReport& report) {
        QMetaObject::invokeMethod(
            this,
            [this, report] {
                m_reachesDatabase = report.failure.isEmpty();
                if (m_listener)
                    m_listener(report);
            },
            Qt::QueuedConnection);
    };
    QMetaObject::invokeMethod(
        &m_onThread,
        [this, target, deliver] {
            m_store = std::make_unique<SqlLeaseStore>(target);
            m_lease = std::make_unique<StandbyLease>(*m_store, m_self, m_grant, deliver);
            m_timer = std::make_unique<QTimer>();
            m_timer->setInterval(StandbyLease::kCheckMilliseconds);
            connect(m_timer.get(), &QTimer::timeout, &m_onThread, [this] { m_lease->Refresh(); });
            m_lease->Start();
            m_timer->start();
        },
        Qt::BlockingQueuedConnection);
    return prints();
}

void LeaseKeeper::Stop() {
    if (!m_thread.isRunning())
        return;
    QMetaObject::invokeMethod(
        &m_onThread,
        [this] {
            m_timer.reset();
            if (m_lease)
                m_lease->Release();
            m_lease.reset();
            m_store.reset();
        },
        Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}
