#include "BenchServer.h"
#include "support/ServerDirectory.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSqlDriver>
#include <QTcpServer>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <ctime>
#include <sqlite3.h>

namespace {

int CountStatement(unsigned, void* count, void*, void*) {
    ++*static_cast<qint64*>(count);
    return 0;
}

// The real server at its default settings, with notifications to an address and /metrics behind a
// key, idle for a minute on an empty queue while a Prometheus scrapes it every 15 s: the CPU time
// of the process (the scrapes' own client included) and the statements its connection starts, as
// SQLite counts them. scripts/perf-report builds this benchmark against earlier revisions too.
void BM_Idle(benchmark::State& state) {
    for (auto _ : state) {
        ServerDirectory dir;
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        const QByteArray port = QByteArray::number(probe.serverPort());
        probe.close();
        const QByteArray key = "bench-anahtari-0123456789";
        dir.write("Velmora.ini", "[Durum Sayfasi]\r\nPort=" + port + "\r\nMetrik anahtari=" + key +
                                     "\r\n[Bildirim]\r\nAdres=http://127.0.0.1:9/velmora\r\n");
        BenchServer running(dir);
        if (!running.Start(state))
            return;
        PrintServer& server = running.server;
        sqlite3* connection =
            *static_cast<sqlite3* const*>(server.parts().C.database().driver()->handle().data());
        qint64 statements = 0;
        sqlite3_trace_v2(connection, SQLITE_TRACE_STMT, CountStatement, &statements);
        QNetworkAccessManager prometheus;
        QNetworkRequest scrape(QUrl("http://127.0.0.1:" + port + "/metrics"));
        scrape.setRawHeader("Authorization", "Bearer " + key);
        QTimer scrapes;
        int scraped = 0;
        QObject::connect(&scrapes, &QTimer::timeout, [&] {
            QNetworkReply* reply = prometheus.get(scrape);
            QObject::connect(reply, &QNetworkReply::finished, [reply, &scraped] {
                scraped += reply->readAll().contains("velmora_active 1") ? 1 : 0;
                reply->deleteLater();
            });
        });
        const std::clock_t cpuBefore = std::clock();
        scrapes.start(15000);
        QEventLoop minute;
        QTimer::singleShot(60000, &minute, &QEventLoop::quit);
        minute.exec();
        state.counters["cpu_ms"] =
            static_cast<double>(std::clock() - cpuBefore) * 1000 / CLOCKS_PER_SEC;
        sqlite3_trace_v2(connection, 0, nullptr, nullptr);
        state.counters["statements"] = static_cast<double>(statements);
        state.counters["scrapes"] = scraped;
        server.Close();
    }
}

BENCHMARK(BM_Idle)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
