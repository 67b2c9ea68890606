#include "support/CannedHttpServer.h"
#include "support/RatesFixture.h"
#include "tickets/ExchangeRates.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// Every download here ends well within this unless the code under test hangs.
constexpr auto kTestTimeout = 5s;

class RatesDownload : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        QFile file(ratesPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kOldContent);
    }

    QString ratesPath() const { return m_dir.filePath(QStringLiteral("Doviz.xml")); }

    QByteArray ratesFile() const {
        QFile file(ratesPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    // Nothing but the rates file is left behind, whatever the outcome.
    QStringList dirEntries() const {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    static constexpr char kOldContent[] = "yesterday's rates";
    const QByteArray m_body =
        RatesXml(QStringLiteral("41.1234"), QStringLiteral("47.8901")).toUtf8();
    QTemporaryDir m_dir;
    CannedHttpServer m_server;
};

TEST_F(RatesDownload, ASuccessfulDownloadReplacesTheFileAndGivesTheLine) {
    m_server.setResponse(CannedHttpServer::Response(200, m_body));

    EXPECT_EQ(FetchExchangeRates(m_dir.path(), m_server.url(), kTestTimeout),
              QStringLiteral("USD: 41.123 - EUR: 47.890"));
    EXPECT_EQ(ratesFile(), m_body);
    EXPECT_EQ(dirEntries(), QStringList{QStringLiteral("Doviz.xml")});
}

TEST_F(RatesDownload, AStatusOtherThanSuccessGivesTheEmptyLineEvenWithARatesBody) {
    // Qt reports 404 and 500 as errors itself, but not a 300 it cannot follow.
    for (const int status : {404, 500, 300}) {
        SCOPED_TRACE(status);
        m_server.setResponse(CannedHttpServer::Response(status, m_body));

        EXPECT_EQ(FetchExchangeRates(m_dir.path(), m_server.url(), kTestTimeout), QString());
        EXPECT_EQ(ratesFile(), kOldContent);
        EXPECT_EQ(dirEntries(), QStringList{QStringLiteral("Doviz.xml")});
    }
    EXPECT_EQ(m_server.requestCount(), 3);
}

TEST_F(RatesDownload, ATruncatedBodyKeepsTheOldFile) {
    QByteArray response = CannedHttpServer::Response(200, m_body);
    response.chop(m_body.size() / 2);
    m_server.setResponse(response);

    EXPECT_EQ(FetchExchangeRates(m_dir.path(), m_server.url(), kTestTimeout), QString());
    EXPECT_EQ(ratesFile(), kOldContent);
}

TEST_F(RatesDownload, ARefusedConnectionKeepsTheOldFile) {
    const QString url =
        QStringLiteral("http://127.0.0.1:%1/kurlar/today.xml").arg(CannedHttpServer::ClosedPort());

    EXPECT_EQ(FetchExchangeRates(m_dir.path(), url, kTestTimeout), QString());
    EXPECT_EQ(ratesFile(), kOldContent);
}

TEST_F(RatesDownload, AServerThatNeverAnswersTimesOut) {
    m_server.setSilent();
    QElapsedTimer elapsed;
    elapsed.start();

    EXPECT_EQ(FetchExchangeRates(m_dir.path(), m_server.url(), 300ms), QString());
    EXPECT_LT(elapsed.elapsed(), 3000);
    EXPECT_EQ(m_server.requestCount(), 1);
    EXPECT_EQ(ratesFile(), kOldContent);
    EXPECT_EQ(dirEntries(), QStringList{QStringLiteral("Doviz.xml")});
}

TEST_F(RatesDownload, AnUnwritableTargetFailsWithoutAsking) {
    m_server.setResponse(CannedHttpServer::Response(200, m_body));

    EXPECT_FALSE(DownloadToFile(m_server.url(), m_dir.filePath(QStringLiteral("missing/Doviz.xml")),
                                kTestTimeout));
    EXPECT_EQ(m_server.requestCount(), 0);
}

} // namespace
