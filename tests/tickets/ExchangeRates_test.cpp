#include "core/Error.h"
#include "support/RatesFixture.h"
#include "tickets/ExchangeRates.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ExchangeRateLine, TakesTheBanknoteBuyingRatesCutToSixCharacters) {
    EXPECT_EQ(ExchangeRateLineFromText(RatesXml("41.1234", "47.8901")),
              QStringLiteral("USD: 41.123 - EUR: 47.890"));
    EXPECT_EQ(ExchangeRateLineFromText(RatesXml("123.4567", "47.8999")),
              QStringLiteral("USD: 123.45 - EUR: 47.899"));
}

TEST(ExchangeRateLine, BlanksAndLineBreaksAfterTheMarkerDoNotCount) {
    const QString text = QStringLiteral("US DOLLAR<BanknoteBuying>\r\n\t  41.1234</BanknoteBuying>"
                                        "EURO<BanknoteBuying> \n47.8901\n</BanknoteBuying>");
    EXPECT_EQ(ExchangeRateLineFromText(text), QStringLiteral("USD: 41.123 - EUR: 47.890"));
}

TEST(ExchangeRateLine, AShortRateTakesTheStartOfTheClosingTag) {
    EXPECT_EQ(ExchangeRateLineFromText(RatesXml("9.12", "47.8901")),
              QStringLiteral("USD: 9.12</ - EUR: 47.890"));
}

TEST(ExchangeRateLine, TheEuroIsLookedForOnlyAfterTheDollarRate) {
    // A euro entry before the dollar's would be taken by a search from the start of the file.
    const QString text = RatesXml("41.1234", "47.8901")
                             .replace(QStringLiteral("<Tarih_Date>"),
                                      QStringLiteral("<Tarih_Date><CurrencyName>EURO</CurrencyName>"
                                                     "<BanknoteBuying>11.1111</BanknoteBuying>"));
    EXPECT_EQ(ExchangeRateLineFromText(text), QStringLiteral("USD: 41.123 - EUR: 47.890"));
}

TEST(ExchangeRateLine, AMissingMarkerDropsItsLengthLessOneCharacters) {
    EXPECT_EQ(ExchangeRateLineFromText(QString()), QStringLiteral("USD:  - EUR: "));

    // No marker at all: 8, 15, 3 and 15 characters are dropped in turn.
    EXPECT_EQ(ExchangeRateLineFromText(
                  QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdefghijklmnopqrstuvwxyz")),
              QStringLiteral("USD: XYZ012 - EUR: fghijk"));

    // No euro entry: the euro's value is read from inside the dollar's own closing tag.
    const QString dollarOnly = QStringLiteral("<CurrencyName>US DOLLAR</CurrencyName>"
                                              "<BanknoteBuying>41.1234</BanknoteBuying>"
                                              "<BanknoteSelling>41.2923</BanknoteSelling>");
    EXPECT_EQ(ExchangeRateLineFromText(dollarOnly), QStringLiteral("USD: 41.123 - EUR: uying>"));
}

TEST(ReadFileBytes, ReadsTheWholeFileUpToTheLimit) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString emptyPath = dir.filePath(QStringLiteral("empty.xml"));
    const QString hugePath = dir.filePath(QStringLiteral("huge.xml"));
    const QByteArray huge(kMaxFileBytes + 10, 'x');
    for (const auto& [path, content] : {std::pair(emptyPath, QByteArray()), {hugePath, huge}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(content), content.size());
    }

    EXPECT_TRUE(ReadFileBytes(emptyPath).isEmpty());
    EXPECT_EQ(ReadFileBytes(hugePath), huge.left(kMaxFileBytes));
}

TEST(ReadFileBytes, AFileThatCannotBeOpenedRaisesAnErrorNamingIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    try {
        ReadFileBytes(dir.filePath(QStringLiteral("Doviz.xml")));
        FAIL() << "no error raised";
    } catch (const Error& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("Doviz.xml"))) << error.what();
    }
}
