#include "log/DiagnosticLog.h"
#include "queue/QueueWatch.h"
#include "status/OperatorReport.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using Pause = QueueWatch::Pause;

struct WatchCase {
    const char* name;
    Pause pause;
    bool connected;
    QList<int> ticksAsked; // after a first check, one after the server's own write, one after
                           // a terminal queued a job
    int logLines;
};

// A check asks only while no tick runs and the connection is not known to be lost, asks for a
// tick at its first answer and then only when another connection committed, and reports a
// question that fails once, however often it fails.
TEST(QueueWatch, AsksForATickWhenAnotherConnectionCommitted) {
    const QList<WatchCase> cases{
        {"answers", Pause::None, true, {1, 1, 2}, 0},
        {"tick running", Pause::Busy, true, {0, 0, 0}, 0},
        {"connection lost", Pause::ConnectionLost, false, {0, 0, 0}, 0},
        {"question fails", Pause::None, false, {0, 0, 0}, 1},
    };
    for (const WatchCase& c : cases) {
        TestDatabase terminal;
        DatabaseSession server(QStringLiteral("watched"));
        if (c.connected)
            server.Open(terminal.session().target());
        DiagnosticLog log(terminal.directory() + QStringLiteral("/velmora.log"));
        OperatorReport report(log);
        QueueWatch watch(server, report, [&c] { return c.pause; });
        int asked = 0;
        QObject::connect(&watch, &QueueWatch::changed, [&asked] { ++asked; });
        QList<int> seen;
        watch.Check();
        seen << asked;
        if (c.connected)
            server.Execute(QStringLiteral("INSERT INTO DEPARTMAN VALUES ('9', 'Bahce')"));
        watch.Check();
        seen << asked;
        terminal.addBill(1, QStringLiteral("1"), QStringLiteral("5"));
        terminal.queueJob(1, QStringLiteral("1"));
        watch.Check();
        seen << asked;
        EXPECT_EQ(seen, c.ticksAsked) << c.name;
        QFile file(log.filePath());
        const int lines = file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
        EXPECT_EQ(lines, c.logLines) << c.name;
    }
}

} // namespace
