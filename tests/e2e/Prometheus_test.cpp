#include "support/CannedHttpServer.h"
#include "support/ExternalTool.h"
#include "support/ServerDirectory.h"
#include "support/ServerProcess.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The real server with a metrics key, as a chain's Prometheus reads it: promtool accepts its
// /metrics and the shipped alert rules, and Debian's own Prometheus, scraping it with the key and
// loading the rules, finds its printer up.
TEST(PrometheusTest, ScrapesTheServerWithItsKeyAndLoadsTheShippedRules) {
    const QString prometheus = QStandardPaths::findExecutable(QStringLiteral("prometheus"));
    const QString promtool = QStandardPaths::findExecutable(QStringLiteral("promtool"));
    if (prometheus.isEmpty() || promtool.isEmpty())
        GTEST_SKIP() << "prometheus and promtool are not installed here (scripts/install-deps)";
    const QString rules = QStringLiteral(VELMORA_SOURCE_DIR "/docs/velmora.rules.yml");
    const ToolRun rulesCheck = RunTool(promtool, {"check", "rules", rules});
    EXPECT_EQ(rulesCheck.exitCode, 0) << rulesCheck.output.toStdString();

    ServerDirectory dir;
    const QByteArray key = "sube-anahtari-0123456789";
    const quint16 port = CannedHttpServer::ClosedPort();
    dir.write("Velmora.ini", "[Sistem]\r\nAcilista bekleme suresi=0\r\n[Durum Sayfasi]\r\nPort=" +
                                 QByteArray::number(port) + "\r\nMetrik anahtari=" + key);
    TestDatabase& db = dir.database();
    db.exec("INSERT INTO A_Yazicilar VALUES ('Mutfak', 'pdf:mutfak')");
    db.addProduct("K1", "Köfte", "Mutfak");
    db.addBill(7, "1", "12");
    db.addSaleLine(7, "K1", 2, 20);
    db.queueJob(7, "0");
    QProcess server; // headless, as the test's own environment says
    server.start(InstallServer(VELMORA_EXECUTABLE, dir.path()), {});
    ASSERT_TRUE(server.waitForStarted(5000));

    QNetworkAccessManager network;
    const auto get = [&network, &key](const QString& url) {
        QNetworkRequest request(url); // Prometheus's own API ignores the key
        request.setRawHeader("Authorization", "Bearer " + key);
        QNetworkReply* reply = network.get(request);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        reply->deleteLater();
        return reply->isFinished() ? reply->readAll() : QByteArray();
    };
    QByteArray metrics;
    for (int tries = 0; tries < 100 && !metrics.contains("velmora_order_to_paper_seconds_count");
         ++tries) {
        QThread::msleep(100);
        metrics = get(QStringLiteral("http://127.0.0.1:%1/metrics").arg(port));
    }
    ASSERT_TRUE(metrics.contains("velmora_tickets_printed_total{printer=\"Mutfak\"} 1"))
        << metrics.toStdString();
    const ToolRun lint = RunTool(promtool, {"check", "metrics"}, 30000, metrics);
    EXPECT_EQ(lint.exitCode, 0) << lint.output.toStdString() << lint.errors.toStdString();

    QTemporaryDir work;
    const quint16 webPort = CannedHttpServer::ClosedPort();
    QFile config(work.filePath("prometheus.yml"));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral(R"(global: {scrape_interval: 1s, evaluation_interval: 1s}
rule_files: ['%1']
scrape_configs:
  - job_name: velmora
    authorization: {credentials: '%2'}
    static_configs: [{targets: ['127.0.0.1:%3'], labels: {branch: kadikoy}}]
)")
                     .arg(rules, QString::fromLatin1(key), QString::number(port))
                     .toUtf8());
    config.close();
    QProcess scraper;
    scraper.start(prometheus, {"--config.file=" + config.fileName(),
                               "--storage.tsdb.path=" + work.filePath("data"),
                               "--web.listen-address=127.0.0.1:" + QString::number(webPort)});
    ASSERT_TRUE(scraper.waitForStarted(5000));
    QJsonArray found;
    for (int tries = 0; tries < 60 && found.isEmpty(); ++tries) {
        QThread::msleep(500);
        found = QJsonDocument::fromJson(
                    get(QStringLiteral("http://127.0.0.1:%1/api/v1/query?query=velmora_printer_up")
                            .arg(webPort)))
                    .object()["data"]
                    .toObject()["result"]
                    .toArray();
    }
    ASSERT_EQ(found.size(), 1) << scraper.readAllStandardError().toStdString();
    const QJsonObject series = found.at(0).toObject();
    EXPECT_EQ(series["metric"].toObject()["printer"].toString(), "Mutfak");
    EXPECT_EQ(series["metric"].toObject()["branch"].toString(), "kadikoy");
    EXPECT_EQ(series["value"].toArray().at(1).toString(), "1");
    scraper.terminate();
    EXPECT_TRUE(scraper.waitForFinished(10000));
    StopServer(server);
}

} // namespace
