#include "core/Error.h"
#include "core/RegionalSettings.h"
#include "db/RecordSet.h"

#include <gtest/gtest.h>

namespace {

RecordSet printerLines() {
    return RecordSet({QStringLiteral("ID"), QStringLiteral("YAZICI"), QStringLiteral("H"),
                      QStringLiteral("ADET")},
                     {{1, QStringLiteral("Mutfak"), 1, 2.0},
                      {2, QStringLiteral("Bar"), 2, 0.5},
                      {3, QVariant(), 2, QVariant()},
                      {4, QStringLiteral("O'Brien"), 1, 1.0},
                      {5, QString(), 3, 1.0}});
}

QList<int> visibleIds(RecordSet& rows) {
    QList<int> ids;
    for (rows.First(); !rows.Eof(); rows.Next())
        ids << rows.value(QStringLiteral("ID")).toInt();
    return ids;
}

TEST(RecordSet, MovesLikeADataset) {
    RecordSet rows = printerLines();
    EXPECT_EQ(rows.recordCount(), 5);
    EXPECT_EQ(visibleIds(rows), (QList<int>{1, 2, 3, 4, 5}));
    rows.Last();
    EXPECT_EQ(rows.text(QStringLiteral("id")), QStringLiteral("5"));
    rows.Next();
    EXPECT_TRUE(rows.Eof());
    EXPECT_THROW(rows.value(QStringLiteral("ID")), DatabaseError);
    rows.Next(); // stays past the end
    EXPECT_TRUE(rows.Eof());
}

TEST(RecordSet, TextFormsOfNullsAndFloats) {
    const RegionalSettings saved = RegionalSettings::current();
    RegionalSettings comma = saved;
    comma.decimalSeparator = QLatin1Char(',');
    RegionalSettings::setCurrent(comma);

    RecordSet rows = printerLines();
    rows.First();
    rows.Next();
    EXPECT_EQ(rows.text(QStringLiteral("ADET")), QStringLiteral("0,5"));
    rows.Next();
    EXPECT_EQ(rows.text(QStringLiteral("YAZICI")), QString());
    EXPECT_EQ(rows.text(QStringLiteral("ADET")), QString());
    EXPECT_EQ(rows.number(QStringLiteral("ADET")), 0.0);
    EXPECT_THROW(rows.text(QStringLiteral("YOK")), DatabaseError);
    RegionalSettings::setCurrent(saved);
}

TEST(RecordSet, FilterComparesTextIgnoringCaseAndNumbersNumerically) {
    RecordSet rows = printerLines();
    rows.setFilter(QStringLiteral("YAZICI='Bar'"));
    EXPECT_EQ(visibleIds(rows), (QList<int>{2}));
    rows.setFilter(QStringLiteral("YAZICI='bAR'"));
    EXPECT_EQ(visibleIds(rows), (QList<int>{2}));
    rows.setFilter(QStringLiteral("YAZICI='Bar '"));
    EXPECT_TRUE(rows.isEmpty());
    rows.setFilter(QStringLiteral("YAZICI='O''Brien'"));
    EXPECT_EQ(visibleIds(rows), (QList<int>{4}));
    rows.setFilter(QStringLiteral("H='2'"));
    EXPECT_EQ(visibleIds(rows), (QList<int>{2, 3}));
    rows.setFilter(QStringLiteral("H='02'"));
    EXPECT_EQ(visibleIds(rows), (QList<int>{2, 3}));
    rows.setFilter(QStringLiteral("H='2,5'"));
    EXPECT_TRUE(rows.isEmpty());
    rows.setFilter(QStringLiteral("H='iki'"));
    EXPECT_TRUE(rows.isEmpty());
    rows.clearFilter();
    EXPECT_EQ(rows.recordCount(), 5);
}

TEST(RecordSet, NullMatchesTheEmptyLiteral) {
    RecordSet rows = printerLines();
    rows.setFilter(QStringLiteral("YAZICI=''"));
    EXPECT_EQ(visibleIds(rows), (QList<int>{3, 5}));
}

TEST(RecordSet, MalformedFilterIsAnErrorAndKeepsThePreviousOne) {
    RecordSet rows = printerLines();
    rows.setFilter(QStringLiteral("H='1'"));
    EXPECT_THROW(rows.setFilter(QStringLiteral("H=1")), DatabaseError);
    EXPECT_THROW(rows.setFilter(QStringLiteral("YAZICI='a'b'")), DatabaseError);
    EXPECT_THROW(rows.setFilter(QStringLiteral("YOK='1'")), DatabaseError);
    EXPECT_EQ(visibleIds(rows), (QList<int>{1, 4}));
}

TEST(RecordSet, ScopedFilterIsLiftedWhenTheScopeEndsByAnError) {
    RecordSet rows = printerLines();
    try {
        ScopedFilter filter(rows, QStringLiteral("H='1'"));
        EXPECT_EQ(rows.recordCount(), 2);
        throw DatabaseError(QStringLiteral("kesildi"));
    } catch (const DatabaseError&) {
    }
    EXPECT_EQ(rows.recordCount(), 5);
    EXPECT_TRUE(rows.filter().isEmpty());
}

} // namespace
