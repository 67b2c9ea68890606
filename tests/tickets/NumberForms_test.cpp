#include "core/CurrencyValue.h"
#include "core/Error.h"
#include "core/NumberForms.h"
#include "tickets/Ean13.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

struct AmountCase {
    double value;
    const char* comma;
};

class AmountTextTest : public ::testing::TestWithParam<AmountCase> {};

TEST_P(AmountTextTest, FormatsWithEitherSeparator) {
    const AmountCase& c = GetParam();
    const QString expected = QString::fromUtf8(c.comma);
    EXPECT_EQ(AmountText(c.value, QLatin1Char(',')), expected) << c.value;
    EXPECT_EQ(AmountText(c.value, QLatin1Char('.')), QString(expected).replace(',', '.'))
        << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, AmountTextTest,
    ::testing::Values(AmountCase{12.5, "12,5"}, AmountCase{100, "100"}, AmountCase{0.5, ",5"},
                      AmountCase{0, ""}, AmountCase{-12.5, "-12,5"}, AmountCase{-0.5, "-,5"},
                      AmountCase{2.675, "2,68"}, AmountCase{1.005, "1,01"}, AmountCase{0.004, ""},
                      AmountCase{-0.004, ""}, AmountCase{0.005, ",01"}, AmountCase{9.999, "10"},
                      AmountCase{99.995, "100"}, AmountCase{1234567.1, "1234567,1"},
                      AmountCase{12.10, "12,1"}, AmountCase{-2.675, "-2,68"}));

TEST(AmountText, NotANumberGivesEmptyText) {
    EXPECT_EQ(AmountText(std::nan(""), QLatin1Char(',')), QString());
}

TEST(QuantityText, ShortestGeneralForm) {
    EXPECT_EQ(QuantityText(1.0, QLatin1Char(',')), QStringLiteral("1"));
    EXPECT_EQ(QuantityText(0.5, QLatin1Char(',')), QStringLiteral("0,5"));
    EXPECT_EQ(QuantityText(2.25, QLatin1Char(',')), QStringLiteral("2,25"));
    EXPECT_EQ(QuantityText(12.5, QLatin1Char('.')), QStringLiteral("12.5"));
    EXPECT_EQ(QuantityText(0.1 + 0.2, QLatin1Char(',')), QStringLiteral("0,3"));
    EXPECT_EQ(QuantityText(-3.0, QLatin1Char(',')), QStringLiteral("-3"));
}

TEST(QuantityText, NullIsEmptyAndTextStaysText) {
    EXPECT_EQ(QuantityText(QVariant(), QLatin1Char(',')), QString());
    EXPECT_EQ(QuantityText(QVariant(2.5), QLatin1Char(',')), QStringLiteral("2,5"));
    EXPECT_EQ(QuantityText(QVariant(QStringLiteral("iki")), QLatin1Char(',')),
              QStringLiteral("iki"));
}

TEST(BalanceText, UpToFourDecimals) {
    EXPECT_EQ(BalanceText(0, QLatin1Char(',')), QStringLiteral("0"));
    EXPECT_EQ(BalanceText(1001234, QLatin1Char(',')), QStringLiteral("100,1234"));
    EXPECT_EQ(BalanceText(1001234, QLatin1Char('.')), QStringLiteral("100.1234"));
    EXPECT_EQ(BalanceText(1000000, QLatin1Char(',')), QStringLiteral("100"));
    EXPECT_EQ(BalanceText(-55000, QLatin1Char(',')), QStringLiteral("-5,5"));
    EXPECT_EQ(BalanceText(-1, QLatin1Char(',')), QStringLiteral("-0,0001"));
}

TEST(CurrencyFromVariant, ReadsDecimalTextExactly) {
    EXPECT_EQ(CurrencyFromVariant(QVariant()), 0);
    EXPECT_EQ(CurrencyFromVariant(QStringLiteral("100.1234")), 1001234);
    EXPECT_EQ(CurrencyFromVariant(QStringLiteral("-0.5")), -5000);
    EXPECT_EQ(CurrencyFromVariant(QStringLiteral("12")), 120000);
    EXPECT_EQ(CurrencyFromVariant(QStringLiteral("1.23456")), 12346);
    EXPECT_EQ(CurrencyFromVariant(QVariant(100.1234)), 1001234);
    EXPECT_EQ(CurrencyFromVariant(QVariant(qlonglong(-7))), -70000);
}

TEST(CurrencyFromVariant, ValuesBeyondTheMoneyRangeAreRefused) {
    // Found by fuzzing: the digits overflowed the ten-thousandths.
    EXPECT_THROW(CurrencyFromVariant(QStringLiteral("7777777777777777777")), DatabaseError);
    EXPECT_THROW(CurrencyFromVariant(QVariant(1e300)), DatabaseError);
    EXPECT_THROW(CurrencyFromVariant(QVariant(std::nan(""))), DatabaseError);
    EXPECT_THROW(CurrencyFromVariant(QVariant(qlonglong(1) << 62)), DatabaseError);
    EXPECT_EQ(CurrencyFromVariant(QStringLiteral("922337203685477.5807")),
              std::numeric_limits<qint64>::max());
}

TEST(Ean13, CheckDigitAndText) {
    EXPECT_EQ(Ean13CheckDigit(QStringLiteral("000000000302")), 5);
    EXPECT_EQ(Ean13Text(QStringLiteral("302")), QStringLiteral("0000000003025"));
    EXPECT_EQ(Ean13Text(QString()), QStringLiteral("0000000000000"));
    EXPECT_EQ(Ean13Text(QStringLiteral("400638133393")), QStringLiteral("4006381333931"));
    // Only the first twelve characters count; the rest is lost before the check digit.
    EXPECT_EQ(Ean13Text(QStringLiteral("40063813339399")), QStringLiteral("4006381333931"));
    // A non-digit is kept in the text and counts as 0.
    EXPECT_EQ(Ean13Text(QStringLiteral("3A2")), QStringLiteral("0000000003A25"));
}

} // namespace
