#include "support/ExternalTool.h"
#include "terminal/ServerStatements.h"

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

// Debian's sqlfluff parses every statement the server sends, as velmora-terminal writes them,
// with its T-SQL grammar, and refuses what only SQLite or PostgreSQL take.
#ifndef Q_OS_WIN
TEST(TsqlGrammar, EveryStatementTheServerSendsParsesAsTsql) {
    const struct {
        const char* statement; // none: the server's
        bool parses;
    } rows[] = {{nullptr, true},
                {"SELECT ID FROM A_YazimKuyrugu ORDER BY ID LIMIT 1", false},
                {"DELETE FROM A_YazimKuyrugu WHERE ID = 7 RETURNING ID", false}};
    for (const auto& [statement, parses] : rows) {
        QTemporaryDir dir;
        if (statement)
            std::ofstream(dir.filePath("1.sql").toStdString()) << statement;
        else
            ASSERT_EQ(RunTool(VELMORA_TERMINAL_EXECUTABLE, {"statements", dir.path()}).exitCode, 0);
        ASSERT_EQ(QDir(dir.path()).entryList({"*.sql"}).size(),
                  statement ? 1 : ServerStatements().size());
        const ToolRun check =
            RunTool("sqlfluff", {"parse", "--dialect", "tsql", dir.path()}, 300000);
        EXPECT_EQ(check.exitCode == 0, parses) // -1: sqlfluff (scripts/install-deps) did not run
            << check.exitCode << check.output.right(3000).toStdString();
    }
}
#endif
