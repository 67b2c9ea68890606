#include "core/Error.h"
#include "core/RegionalSettings.h"
#include "support/RecordingPrinter.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class PrintEngineTest : public ::testing::Test {
protected:
    PrintEngineTest() { job.AdisyonID = QStringLiteral("302"); }

    RecordingPrinter& printer() {
        if (!m_printer)
            m_printer = std::make_unique<RecordingPrinter>(job, log, installed, settings);
        return *m_printer;
    }
    QString logText() const {
        QFile file(log.filePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    }

    QTemporaryDir dir;
    TYazimIsi job;
    DiagnosticLog log{dir.filePath(QStringLiteral("Velmora.log"))};
    QStringList installed{QStringLiteral("Bar"), QStringLiteral("KASA"), QStringLiteral("Kasa")};
    PrintSettings settings;

private:
    std::unique_ptr<RecordingPrinter> m_printer;
};

TEST_F(PrintEngineTest, DummyModeDoesNothingEvenForAMissingPrinter) {
    settings.dummy = true;
    log.setVerbose(true);
    printer().PrintTicket(QStringLiteral("Kasa"), {QStringLiteral("x")});
    printer().PrintTicket(QStringLiteral("Yok"), {QStringLiteral("x")});

    EXPECT_EQ(printer().printers().documentCount(), 0);
    EXPECT_TRUE(printer().pauses().isEmpty());
    EXPECT_FALSE(QFile::exists(log.filePath()));
}

TEST_F(PrintEngineTest, MissingPrinterIsLoggedWithTheBillNumberEvenWhenNotVerbose) {
    printer().PrintTicket(QStringLiteral("Mutfak"), {QStringLiteral("x")});

    EXPECT_EQ(printer().printers().documentCount(), 0);
    EXPECT_TRUE(printer().pauses().isEmpty());
    EXPECT_TRUE(
        logText().contains(QStringLiteral("-Yazici Bulunamadi -- FisID:302 Yazici: Mutfak")))
        << logText().toStdString();
}

TEST_F(PrintEngineTest, PrinterIsFoundInAnyLetterCaseFirstMatchFirst) {
    log.setVerbose(true);
    printer().PrintTicket(QStringLiteral("kasa"), {QStringLiteral("x")});

    ASSERT_EQ(printer().printers().documentCount(), 1);
    EXPECT_EQ(printer().printers().document(0).printer, QStringLiteral("KASA"));
    // The log names the path as the caller wrote it.
    EXPECT_TRUE(logText().contains(QStringLiteral("->> Gonderildi:kasa")));
    EXPECT_FALSE(logText().contains(QStringLiteral("Bulunamadi")));
}

TEST_F(PrintEngineTest, EmptyTicketSendsOneEmptyPageLogsOnlyWhenVerboseAndPauses) {
    printer().PrintTicket(QStringLiteral("Bar"), {});
    EXPECT_FALSE(QFile::exists(log.filePath()));
    log.setVerbose(true);
    printer().PrintTicket(QStringLiteral("Bar"), {});

    ASSERT_EQ(printer().printers().documentCount(), 2);
    const RecordedDocument& document = printer().printers().document(1);
    EXPECT_EQ(document.pages, 1);
    EXPECT_TRUE(document.ended);
    EXPECT_TRUE(document.texts.isEmpty());
    EXPECT_TRUE(logText().contains(QStringLiteral("->> Gonderildi:Bar")));
    EXPECT_EQ(printer().pauses(), QList<int>({1000, 1000}));
}

TEST_F(PrintEngineTest, PrinterFailureAbortsTheDocumentAndTheNextJobPrints) {
    log.setVerbose(true);
    printer().printers().setup().failAtDraw = 2;
    const Ticket ticket{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    EXPECT_THROW(printer().PrintTicket(QStringLiteral("Bar"), ticket), PrinterError);

    const RecordedDocument& failed = printer().printers().document(0);
    EXPECT_TRUE(failed.aborted);
    EXPECT_FALSE(failed.ended);
    EXPECT_TRUE(printer().pauses().isEmpty());
    EXPECT_FALSE(QFile::exists(log.filePath()));

    printer().printers().setup().failAtDraw = 0;
    printer().PrintTicket(QStringLiteral("Bar"), ticket);
    const RecordedDocument& next = printer().printers().document(1);
    EXPECT_TRUE(next.ended);
    EXPECT_FALSE(next.aborted);
    EXPECT_EQ(next.drawnTexts(), ticket);
    EXPECT_EQ(printer().TicketsFor(QStringLiteral("Bar")), QList<Ticket>({ticket}));
}

TEST_F(PrintEngineTest, RecordingPrinterKeepsTheTicketsPerPath) {
    const Ticket first{QStringLiteral("#-MUTFAK"), QStringLiteral("2   Çay")};
    const Ticket second{QStringLiteral("=-"), QStringLiteral("1   Su")};
    printer().PrintTicket(QStringLiteral("Bar"), first);
    printer().PrintTicket(QStringLiteral("kasa"), second);
    printer().PrintTicket(QStringLiteral("Bar"), second);

    EXPECT_EQ(printer().TicketsFor(QStringLiteral("Bar")), QList<Ticket>({first, second}));
    EXPECT_EQ(printer().TicketsFor(QStringLiteral("kasa")), QList<Ticket>({second}));
    EXPECT_TRUE(printer().TicketsFor(QStringLiteral("KASA")).isEmpty());
}

class PlaceholderTest : public PrintEngineTest {
protected:
    PlaceholderTest()
        : m_saved(RegionalSettings::current()) {}
    ~PlaceholderTest() override { RegionalSettings::setCurrent(m_saved); }

    QStringList PrintAt(const Ticket& ticket, const QString& dateFormat) {
        RegionalSettings regional = m_saved;
        regional.shortDateFormat = dateFormat;
        RegionalSettings::setCurrent(regional);
        // Each reading of the clock is a minute later.
        auto moment = std::make_shared<QDateTime>(QDate(2026, 1, 5), QTime(9, 5, 59));
        printer().engine().setClock([moment] {
            const QDateTime now = *moment;
            *moment = moment->addSecs(60);
            return now;
        });
        const int before = printer().printers().documentCount();
        printer().PrintTicket(QStringLiteral("Bar"), ticket);
        return printer().printers().document(before).drawnTexts();
    }

private:
    RegionalSettings m_saved;
};

TEST_F(PlaceholderTest, EveryOccurrenceIsReplacedAndLowerCaseIsLeftAlone) {
    EXPECT_EQ(PrintAt({QStringLiteral("#SAAT# - #SAAT# #saat# #TARIH##TARIH#")},
                      QStringLiteral("dd.MM.yyyy")),
              QStringList({QStringLiteral("09:05 - 09:05 #saat# 05.01.202605.01.2026")}));
}

TEST_F(PlaceholderTest, DateFollowsTheRegionalShortFormatAndIsReadAnewForEveryLine) {
    const QLocale american(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(PrintAt({QStringLiteral("#TARIH# #SAAT#"), QStringLiteral("#-#SAAT#")},
                      RegionalSettings::fromLocale(american).shortDateFormat),
              QStringList({QStringLiteral("1/5/2026 09:05"), QStringLiteral("09:06")}));
}

} // namespace
