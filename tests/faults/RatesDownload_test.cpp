#include "app/PrintServer.h"
#include "log/DiagnosticLog.h"
#include "support/CannedHttpServer.h"
#include "support/QStringPrinter.h"
#include "support/RatesFixture.h"
#include "support/RecordingMessages.h"
#include "support/ServerDirectory.h"
#include "tickets/ExchangeRates.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <iostream>
#include <random>

using namespace std::chrono_literals;

namespace {

const QByteArray OldRates = "yesterday's rates";

QByteArray Rates() {
    return RatesXml(QStringLiteral("41.1234"), QStringLiteral("47.8901")).toUtf8();
}

// Every byte value, NULs and invalid UTF-8 included, in an order fixed by the seed.
QByteArray BinaryBody() {
    std::mt19937 generator(8);
    QByteArray body(256 * 1024, '\0');
    for (char& byte : body)
        byte = static_cast<char>(generator() & 0xFF);
    return body;
}

// Three times what is read of the file, filled with harmless XML.
QByteArray Padding() {
    return QByteArray("<!-- dolgu -->\n").repeated(static_cast<int>(3 * kMaxFileBytes / 15));
}

struct DownloadCase {
    const char* name;
    QByteArray (*response)();
    // The line start-up keeps, or nothing when only its form is known.
    const char* line;
    bool replacesFile;
};

const DownloadCase kCases[] = {
    {"Binary", [] { return CannedHttpServer::Response(200, BinaryBody()); }, nullptr, true},
    {"HugeWithTheRatesFirst", [] { return CannedHttpServer::Response(200, Rates() + Padding()); },
     "USD: 41.123 - EUR: 47.890", true},
    {"HugeWithTheRatesBeyondWhatIsRead",
     [] { return CannedHttpServer::Response(200, Padding() + Rates()); }, nullptr, true},
    {"Truncated",
     [] {
         QByteArray response = CannedHttpServer::Response(200, Rates());
         response.chop(Rates().size() / 2);
         return response;
     },
     "", false},
};

// The rates switch is on and the central bank's file comes back broken: start-up still
// completes with the timer running, and whatever line it keeps has the line's form.
class RatesAtStartupTest : public ::testing::TestWithParam<DownloadCase> {
protected:
    void SetUp() override {
        dir.write(QStringLiteral("Velmora.ini"),
                  "[Sistem]\r\nAcilista bekleme suresi=0\r\n"
                  "[Velmora]\r\nHesap fislerinde doviz kurlarini yaz=1\r\n");
        dir.write(QStringLiteral("Doviz.xml"), OldRates);
        http.setResponse(GetParam().response());
    }

    StartupHooks hooks() {
        return {[](int) {},
                [this](const QString& directory) {
                    return FetchExchangeRates(directory, http.url(), 10s);
                }};
    }

    ServerDirectory dir;
    CannedHttpServer http;
    RecordingMessages messages;
    DiagnosticLog log{dir.logPath()};
    PrintServer server{dir.path(), log, messages, hooks()};
};

TEST_P(RatesAtStartupTest, StartupCompletesWithALineOfTheRightForm) {
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(server.FormCreate(), StartupOutcome::Running);
    const qint64 elapsed = clock.elapsed();

    EXPECT_TRUE(messages.entries().isEmpty());
    EXPECT_TRUE(server.parts().T.isActive());
    EXPECT_EQ(http.requestCount(), 1);
    const BillOptions& options = server.parts().options;
    EXPECT_TRUE(options.printRatesFlag);
    const QString line = options.exchangeRateLine;
    if (GetParam().line) {
        EXPECT_EQ(line, QString::fromUtf8(GetParam().line));
    } else {
        EXPECT_TRUE(line.startsWith(QStringLiteral("USD: "))) << line.toStdString();
        EXPECT_EQ(line.mid(11, 8), QStringLiteral(" - EUR: ")) << line.toStdString();
        EXPECT_LE(line.size(), 25) << line.toStdString();
        EXPECT_FALSE(line.contains(QStringLiteral("41.123"))) << line.toStdString();
    }
    const QByteArray file = dir.read(QStringLiteral("Doviz.xml"));
    EXPECT_EQ(file == OldRates, !GetParam().replacesFile);
    QString shown = line;
    for (QChar& c : shown) {
        if (!c.isPrint())
            c = QLatin1Char('?');
    }
    std::cout << "rates download (" << GetParam().name << "): " << file.size()
              << " bytes on disk, start-up in " << elapsed << " ms, line \"" << shown.toStdString()
              << "\"\n";
}

INSTANTIATE_TEST_SUITE_P(Downloads, RatesAtStartupTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<DownloadCase>& download) {
                             return download.param.name;
                         });

} // namespace
