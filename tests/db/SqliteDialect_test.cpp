#include "db/SqliteDialect.h"
#include "kitchen/KitchenStatements.h"
#include "queue/QueueStatements.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {

TEST(SqliteDialect, FiltersTheSaleAndReturnArmsOfTheLineQueriesSeparately) {
    for (const QString& statement : {LineStatement(), ExtraLineStatement()}) {
        const QString text = SqliteStatementText(statement);
        EXPECT_TRUE(text.contains(QStringLiteral("A_AdsSatir\nUNION ALL\nSELECT  'I' I,")));
        EXPECT_FALSE(text.contains(QStringLiteral("\nUNION\n")));
    }
    const QString plainUnion = QStringLiteral("SELECT KODU FROM URUN UNION SELECT KODU FROM URUN");
    EXPECT_EQ(SqliteStatementText(plainUnion), plainUnion);
}

} // namespace
