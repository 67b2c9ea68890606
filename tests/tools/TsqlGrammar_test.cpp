#include "support/ExternalTool.h"
#include "terminal/ServerStatements.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// No SQL Server runs here: Debian's sqlfluff parses with its T-SQL grammar every statement the
// server sends, as velmora-terminal lists them, and refuses what only SQLite or PostgreSQL
// would take.
#ifndef Q_OS_WIN
TEST(TsqlGrammar, EveryStatementTheServerSendsParsesAsTsql) {
    const struct {
        const char* name;
        const char* statement; // none: the server's, as the tool writes them
        bool parses;
    } rows[] = {
        {"server", nullptr, true},
        {"limit", "SELECT ID FROM A_YazimKuyrugu ORDER BY ID LIMIT 1", false},
        {"returning", "DELETE FROM A_YazimKuyrugu WHERE ID = 7 RETURNING ID", false},
    };
    for (const auto& [name, statement, parses] : rows) {
        QTemporaryDir dir;
        if (statement) {
            QFile file(dir.filePath("1.sql"));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(statement) > 0);
        } else {
            ASSERT_EQ(RunTool(VELMORA_TERMINAL_EXECUTABLE, {"statements", dir.path()}).exitCode, 0);
            ASSERT_EQ(QDir(dir.path()).entryList({"*.sql"}).size(), ServerStatements().size());
        }
        const ToolRun check =
            RunTool("sqlfluff", {"parse", "--dialect", "tsql", "--nocolor", dir.path()}, 300000);
        ASSERT_GE(check.exitCode, 0) << "sqlfluff (scripts/install-deps) did not run";
        EXPECT_EQ(check.exitCode == 0, parses) << name << check.output.right(3000).toStdString();
    }
}
#endif

} // namespace
