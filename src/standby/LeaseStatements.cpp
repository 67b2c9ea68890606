#include "standby/LeaseStatements.h"

namespace {

const QString kHolder =
    QStringLiteral("WHERE ID = 1 AND Donem = :Donem AND Bilgisayar = :Bilgisayar AND "
                   "Klasor = :Klasor");

// The lease's end by the database's clock, for the servers that read it.
QString LeaseEnd(int milliseconds) {
    return QStringLiteral("DATEADD(MILLISECOND, %1, SYSUTCDATETIME())").arg(milliseconds);
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
                          "    Donem INT NOT NULL,\n"
                          "    YenilemeSayisi INT NOT NULL DEFAULT 0\n"
                          ")");
}

QString LeaseColumnsStatement() {
    return QStringLiteral("SELECT * FROM VelmoraSunucu WHERE 1 = 0");
}

QString AddRenewalCountStatement() {
    return QStringLiteral("ALTER TABLE VelmoraSunucu ADD YenilemeSayisi INT NOT NULL DEFAULT 0");
}

QString InsertLeaseRowStatement() {
    return QStringLiteral(
               "INSERT INTO VelmoraSunucu (ID, Bilgisayar, Klasor, Bitis, Yenileme, Donem, "
               "YenilemeSayisi)\n"
               "SELECT 1, '', '', %1, SYSUTCDATETIME(), 0, 0\n"
               "WHERE NOT EXISTS (SELECT 1 FROM VelmoraSunucu WITH (NOWAIT) WHERE ID = 1)")
        .arg(LeaseEnd(-1));
}

QString LeaseRowStatement() {
    return QStringLiteral("SELECT Bilgisayar, Klasor, Donem, YenilemeSayisi, Yenileme\n"
                          "FROM VelmoraSunucu WITH (NOWAIT) WHERE ID = 1");
}

QString TakeLeaseStatement() {
    return QStringLiteral("UPDATE VelmoraSunucu WITH (NOWAIT)\n"
                          "SET Bilgisayar = :Bilgisayar, Klasor = :Klasor, Donem = Donem + 1,\n"
                          "YenilemeSayisi = 0, Yenileme = SYSUTCDATETIME(), Bitis = %1\n"
                          "WHERE ID = 1 AND Donem = :Donem AND YenilemeSayisi = :YenilemeSayisi")
        .arg(LeaseEnd(kLeaseMilliseconds));
}

QString RenewLeaseStatement() {
    return QStringLiteral("UPDATE VelmoraSunucu WITH (NOWAIT)\n"
                          "SET YenilemeSayisi = YenilemeSayisi + 1, Yenileme = SYSUTCDATETIME(),\n"
                          "Bitis = %1\n")
               .arg(LeaseEnd(kLeaseMilliseconds)) +
           kHolder;
}

QString ReleaseLeaseStatement() {
    return QStringLiteral("UPDATE VelmoraSunucu WITH (NOWAIT)\n"
                          "SET Bilgisayar = '', Klasor = '', Bitis = %1\n")
               .arg(LeaseEnd(-1)) +
           kHolder;
}

QString FenceStatement() {
    return QStringLiteral("UPDATE VelmoraSunucu SET Donem = Donem\n") + kHolder;
}

QString LeaseHeldStatement() {
    return QStringLiteral("SELECT COUNT(*) AS Tutuyor FROM VelmoraSunucu\n") + kHolder;
}
