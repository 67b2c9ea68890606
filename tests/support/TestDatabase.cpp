#include "support/TestDatabase.h"

#include "db/ContractSchema.h"
#include "db/SqlLiteral.h"

#include <QFile>
#include <atomic>

namespace {

QString nextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("test-db-%1").arg(++counter);
}

QString number(double value) {
    return QString::number(value, 'g', 17);
}

} // namespace

TestDatabase::TestDatabase()
    : m_session(std::make_unique<DatabaseSession>(nextConnectionName())) {
    QFile file(filePath());
    file.open(QIODevice::WriteOnly); // an existing file: the session refuses to create one
    file.close();
    m_session->Open({QStringLiteral("QSQLITE"), filePath()});
    // A throw-away file need not wait for the disk after every statement.
    m_session->Execute(QStringLiteral("PRAGMA synchronous=OFF"));
    CreateContractSchema(*m_session);
}

QString TestDatabase::filePath() const {
    return m_dir.filePath(QStringLiteral("velmora.db"));
}

void TestDatabase::exec(const QString& statement) {
    m_session->Execute(statement);
}

QVariant TestDatabase::scalar(const QString& statement) {
    RecordSet rows = m_session->Select(statement);
    if (rows.isEmpty() || rows.columns().isEmpty())
        return QVariant();
    rows.First();
    return rows.value(rows.columns().first());
}

int TestDatabase::count(const QString& table, const QString& where) {
    QString statement = QStringLiteral("SELECT COUNT(*) FROM ") + table;
    if (!where.isEmpty())
        statement += QStringLiteral(" WHERE ") + where;
    return scalar(statement).toInt();
}

void TestDatabase::seedKitchen(const QString& mutfakPath, int pollSeconds) {
    exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Mutfak', %1)")
             .arg(SqlStringLiteral(mutfakPath)));
    exec(QStringLiteral("INSERT INTO AYAR VALUES ('POS', 'Sistem', "
                        "'Server calisma araligi (x snde bir)', '%1')")
             .arg(pollSeconds));
    addProduct(QStringLiteral("K1"), QStringLiteral("Köfte"), QStringLiteral("Mutfak"));
}

void TestDatabase::addProduct(const QString& code, const QString& name, const QString& printer,
                              const QString& unit) {
    const QString printerValue =
        printer.isNull() ? QStringLiteral("NULL") : SqlStringLiteral(printer);
    exec(QStringLiteral("INSERT INTO URUN (KODU, ADI, YAZICI, BIRIM) VALUES (%1, %2, %3, %4)")
             .arg(SqlStringLiteral(code), SqlStringLiteral(name), printerValue,
                  SqlStringLiteral(unit)));
}

void TestDatabase::addBill(qint64 id, const QString& department, const QString& table,
                           const QString& note) {
    exec(QStringLiteral(
             "INSERT INTO A_Adisyon (ID, DEPKODU, MASANO, ACIKLAMA) VALUES (%1, %2, %3, %4)")
             .arg(id)
             .arg(SqlStringLiteral(department), SqlStringLiteral(table),
                  note.isNull() ? QStringLiteral("NULL") : SqlStringLiteral(note)));
}

qint64 TestDatabase::addSaleLine(qint64 billId, const QString& productCode, double quantity,
                                 double amount, const QString& note, int subAccount) {
    exec(QStringLiteral("INSERT INTO A_AdsSatir (FISID, URUNKODU, ADET, TUTAR, ACIKLAMA, H) "
                        "VALUES (%1, %2, %3, %4, %5, %6)")
             .arg(billId)
             .arg(SqlStringLiteral(productCode), number(quantity), number(amount),
                  note.isNull() ? QStringLiteral("NULL") : SqlStringLiteral(note))
             .arg(subAccount));
    return scalar(QStringLiteral("SELECT MAX(ID) FROM A_AdsSatir")).toLongLong();
}

qint64 TestDatabase::addReturnLine(qint64 billId, const QString& productCode, double quantity,
                                   double amount, const QString& note) {
    // The terminal has already sent the sale to the kitchen when it takes it back.
    exec(QStringLiteral("INSERT INTO A_AdsIade (FISID, URUNKODU, ADET, TUTAR, ACIKLAMA, SIP) "
                        "VALUES (%1, %2, %3, %4, %5, 1)")
             .arg(billId)
             .arg(SqlStringLiteral(productCode), number(quantity), number(amount),
                  note.isNull() ? QStringLiteral("NULL") : SqlStringLiteral(note)));
    return scalar(QStringLiteral("SELECT MAX(ID) FROM A_AdsIade")).toLongLong();
}

qint64 TestDatabase::queueJob(qint64 billId, const QString& type, const QString& waiterCode) {
    exec(QStringLiteral(
             "INSERT INTO A_YazimKuyrugu (Tur, AdisyonID, GarsonKodu) VALUES (%1, %2, %3)")
             .arg(SqlStringLiteral(type))
             .arg(billId)
             .arg(waiterCode.isNull() ? QStringLiteral("NULL") : SqlStringLiteral(waiterCode)));
    return scalar(QStringLiteral("SELECT MAX(ID) FROM A_YazimKuyrugu")).toLongLong();
}
