#include "log/PostError.h"

#include <gtest/gtest.h>

TEST(PostErrorMessage, ListsStatementAndParametersWithoutTheErrorText) {
    const QString message = PostErrorMessage(
        QStringLiteral("A"), QStringLiteral("DatabaseError"), QStringLiteral("SELECT 1\nFROM T"),
        {{QStringLiteral("SIP"), QVariant(true)}, {QStringLiteral("ID"), QVariant()}});
    EXPECT_EQ(message, QStringLiteral("Hata: A-DatabaseError\r\nSELECT 1\r\nFROM T\r\n\r\n"
                                      "SIP=True\r\nID=\r\n"));
}
