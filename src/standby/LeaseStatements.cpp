#include "standby/LeaseStatements.h"

namespace {

// The lease's new end, counted from the database's clock.
QString LeaseEnd() {
    return QStringLiteral("DATEADD(MILLISECOND, %1, SYSUTCDATETIME())").arg(kLeaseMilliseconds);
}

} // namespace

QString CreateLeaseTableStatement() {
    return QStringLiteral("IF OBJECT_ID(N'VelmoraSunucu', N'U') IS NULL\n"
                          "CREATE TABLE VelmoraSunucu (\n"
                          "    ID INT NOT NULL PRIMARY KEY,\n"
                          "    Bilgisayar NVARCHAR(128) NOT NULL,\n"
                          "    Klasor NVARCHAR(400) NOT NULL,\n"
                          "    Bitis DATETIME2 NOT NULL,\n"
                          "    Yenileme DATETIME2 NOT NULL,\n"
                          "    Donem INT NOT NULL\n"
                          ")");
}

QString InsertLeaseRowStatement() {
    return QStringLiteral(
        "INSERT INTO VelmoraSunucu (ID, Bilgisayar, Klasor, Bitis, Yenileme, Donem)\n"
        "SELECT 1, '', '', DATEADD(MILLISECOND, -1, SYSUTCDATETIME()), SYSUTCDATETIME(), 0\n"
        "WHERE NOT EXISTS (SELECT 1 FROM VelmoraSunucu WHERE ID = 1)");
}

QString LeaseHolderStatement() {
    return QStringLiteral("SELECT Bilgisayar, Klasor, Donem,\n"
                          "CASE WHEN Bitis < SYSUTCDATETIME() THEN 1 ELSE 0 END AS Bitti,\n"
                          "DATEDIFF(SECOND, Yenileme, SYSUTCDATETIME()) AS Gecen\n"
                          "FROM VelmoraSunucu WHERE ID = 1");
}

QString TakeLeaseStatement() {
    return QStringLiteral("UPDATE VelmoraSunucu SET Bilgisayar = :Bilgisayar, Klasor = :Klasor,\n"
                          "Bitis = %1, Yenileme = SYSUTCDATETIME(), Donem = Donem + 1\n"
                          "WHERE ID = 1 AND Donem = :Donem AND Bitis < SYSUTCDATETIME()")
        .arg(LeaseEnd());
}

QString RenewLeaseStatement() {
    return FenceStatement() + QStringLiteral(" AND Bitis > SYSUTCDATETIME()");
}

QString FenceStatement() {
    return QStringLiteral("UPDATE VelmoraSunucu SET Bitis = %1, Yenileme = SYSUTCDATETIME()\n"
                          "WHERE ID = 1 AND Donem = :Donem")
        .arg(LeaseEnd());
}

QString ReleaseLeaseStatement() {
    return QStringLiteral("UPDATE VelmoraSunucu SET Bitis = DATEADD(MILLISECOND, -1, "
                          "SYSUTCDATETIME())\nWHERE ID = 1 AND Donem = :Donem");
}
