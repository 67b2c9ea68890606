#include "config/SettingsStore.h"
#include "core/Error.h"
#include "db/Query.h"
#include "kitchen/KitchenStatements.h"
#include "queue/QueueStatements.h"
#include "standby/SqlLeaseStore.h"
#include "support/TestDatabase.h"
#include "tickets/CustomerBalance.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

// A small restaurant: the statements run unchanged against it through the real session.
class StatementsTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.exec(QStringLiteral("INSERT INTO DEPARTMAN VALUES ('1', 'Salon')"));
        db.exec(QStringLiteral("INSERT INTO [USER] VALUES ('G1', 'Ayşe')"));
        db.addProduct(QStringLiteral("K1"), QStringLiteral("Köfte"), QStringLiteral("Mutfak"));
        db.addProduct(QStringLiteral("B1"), QStringLiteral("Ayran"), QStringLiteral("Bar"));
        db.addProduct(QStringLiteral("T1"), QStringLiteral("Tatlı"), QString());
        db.exec(QStringLiteral("INSERT INTO URUNYAZICI VALUES ('B1', '1', 'Bar2')"));
        db.exec(
            QStringLiteral("INSERT INTO URUNEKYAZICI VALUES ('K1', '1', 'Izgara', 'Az pişmiş')"));
        db.addBill(302, QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("Acele"));
        db.addBill(303, QStringLiteral("20"), QStringLiteral("P1"));
        db.addBill(304, QStringLiteral("22"), QStringLiteral("H1"));
        kofteLine = db.addSaleLine(302, QStringLiteral("K1"), 2, 100, QStringLiteral("soğansız"));
        ayranLine = db.addSaleLine(302, QStringLiteral("B1"), 1, 15);
        db.exec(QStringLiteral("UPDATE A_AdsSatir SET SIP=1, YAZ=1 WHERE ID=%1").arg(ayranLine));
        db.addSaleLine(302, QStringLiteral("T1"), 0, 0);
        returnLine = db.addReturnLine(302, QStringLiteral("K1"), 1, 50);
        db.queueJob(302, QStringLiteral("0"), QStringLiteral("G1"));
        db.queueJob(303, QStringLiteral("1"));
        db.queueJob(304, QStringLiteral("1"));
        db.exec(QStringLiteral("INSERT INTO A_YazimKuyrugu (Tur, AdisyonID) VALUES ('0', NULL)"));
    }

    void openLines(Query& query, const QString& statement, bool sip, bool yaz,
                   const char* lineKind) {
        query.setSql(statement);
        query.setParam(QStringLiteral("SIP"), sip);
        query.setParam(QStringLiteral("ID"), 302);
        query.setParam(QStringLiteral("YAZ"), yaz);
        query.setParam(QStringLiteral("IADE"), QString::fromLatin1(lineKind));
        query.Open();
    }

    TestDatabase db;
    qint64 kofteLine = 0;
    qint64 ayranLine = 0;
    qint64 returnLine = 0;
};

TEST_F(StatementsTest, QueueQueryJoinsWaiterBillAndFixedDepartments) {
    Query Q(db.session(), QStringLiteral("Q"));
    Q.setSql(QueueStatement());
    Q.Open();
    ASSERT_EQ(Q.recordCount(), 3);
    Q.First();
    EXPECT_EQ(Q.text(QStringLiteral("AdisyonID")), QStringLiteral("302"));
    EXPECT_EQ(Q.text(QStringLiteral("Garson")), QStringLiteral("Ayşe"));
    EXPECT_EQ(Q.text(QStringLiteral("Departman")), QStringLiteral("Salon"));
    EXPECT_EQ(Q.text(QStringLiteral("DeptKodu")), QStringLiteral("1"));
    EXPECT_EQ(Q.text(QStringLiteral("MASANO")), QStringLiteral("5"));
    EXPECT_EQ(Q.text(QStringLiteral("ACIKLAMA")), QStringLiteral("Acele"));
    Q.Next();
    EXPECT_EQ(Q.text(QStringLiteral("Departman")), QStringLiteral("Paket Satış"));
    EXPECT_EQ(Q.text(QStringLiteral("DeptKodu")), QStringLiteral("20"));
    EXPECT_TRUE(Q.isNull(QStringLiteral("Garson")));
    Q.Next();
    EXPECT_EQ(Q.text(QStringLiteral("Departman")), QStringLiteral("Hızlı Satış"));
    EXPECT_EQ(Q.text(QStringLiteral("DeptKodu")), QStringLiteral("22"));
}

TEST_F(StatementsTest, LineQuerySelectsByFlagsAndResolvesPrinters) {
    Query A(db.session(), QStringLiteral("A"));
    openLines(A, LineStatement(), false, false, "A");
    ASSERT_EQ(A.recordCount(), 2); // the pending kofteLine and the treat without printer
    A.setFilter(QStringLiteral("ID='%1'").arg(kofteLine));
    ASSERT_EQ(A.recordCount(), 1);
    EXPECT_EQ(A.text(QStringLiteral("ADI")), QStringLiteral("Köfte"));
    EXPECT_EQ(A.text(QStringLiteral("YAZICI")), QStringLiteral("Mutfak"));
    EXPECT_EQ(A.text(QStringLiteral("EKYAZICI")), QStringLiteral("Izgara"));
    EXPECT_EQ(A.text(QStringLiteral("EKACIKLAMA")), QStringLiteral("Az pişmiş"));
    EXPECT_EQ(A.text(QStringLiteral("ACIKLAMA")), QStringLiteral("soğansız"));
    EXPECT_EQ(A.number(QStringLiteral("ADET")), 2.0);
    EXPECT_EQ(A.text(QStringLiteral("BIRIM")), QStringLiteral("AD"));
    EXPECT_TRUE(A.isNull(QStringLiteral("MUSTERIKODU")));

    openLines(A, LineStatement(), true, true, "A");
    ASSERT_EQ(A.recordCount(), 1);
    EXPECT_EQ(A.text(QStringLiteral("YAZICI")), QStringLiteral("Bar2")); // department override
    EXPECT_EQ(A.text(QStringLiteral("EKYAZICI")), QString());

    openLines(A, LineStatement(), true, false, "I");
    ASSERT_EQ(A.recordCount(), 1);
    EXPECT_EQ(A.value(QStringLiteral("ID")).toLongLong(), returnLine);
}

TEST_F(StatementsTest, ExtraLineQueryComparesYazWithEkyaz) {
    Query EKA(db.session(), QStringLiteral("EKA"));
    openLines(EKA, ExtraLineStatement(), true, false, "A");
    ASSERT_EQ(EKA.recordCount(), 1);
    EXPECT_EQ(EKA.value(QStringLiteral("ID")).toLongLong(), ayranLine);
    EXPECT_EQ(EKA.value(QStringLiteral("EKYAZ")).toInt(), 0);
}

TEST_F(StatementsTest, AuxiliaryStatementRunsWithNullParameters) {
    Query X(db.session(), QStringLiteral("X"));
    X.setSql(AuxiliaryStatement());
    X.setParam(QStringLiteral("SIP"), QVariant());
    X.setParam(QStringLiteral("ID"), QVariant());
    X.Open();
    EXPECT_TRUE(X.isEmpty());
    EXPECT_EQ(X.columns(), (QStringList{"ADI", "ACIKLAMA", "TUTAR"}));
}

TEST_F(StatementsTest, ProductionPrinterStatementListsPendingPrinterPairs) {
    RecordSet printers = db.session().Select(
        ProductionPrinterStatement(QStringLiteral("1"), QStringLiteral("0"), 302));
    ASSERT_EQ(printers.recordCount(), 1); // the treat has quantity 0
    printers.First();
    EXPECT_EQ(printers.text(QStringLiteral("YAZICI")), QStringLiteral("Mutfak"));
    EXPECT_EQ(printers.text(QStringLiteral("EKYAZICI")), QStringLiteral("Izgara"));

    RecordSet returns = db.session().Select(
        ProductionPrinterStatement(QStringLiteral("O'1"), QStringLiteral("2"), 302));
    ASSERT_EQ(returns.recordCount(), 1);
    returns.First();
    EXPECT_EQ(returns.text(QStringLiteral("EKYAZICI")), QString()); // no override for O'1

    // A second printer row for a product and department, which SQL Server's subquery would fail
    // on, is refused.
    EXPECT_THROW(db.exec(QStringLiteral("INSERT INTO URUNYAZICI VALUES ('B1', '1', 'Bar3')")),
                 DatabaseError);
    EXPECT_THROW(
        db.exec(QStringLiteral("INSERT INTO URUNEKYAZICI VALUES ('K1', '1', 'Servis', '')")),
        DatabaseError);
}

TEST_F(StatementsTest, CustomerBalanceQuotesTheCode) {
    db.exec(QStringLiteral("INSERT INTO MUSTERI VALUES ('A''1', 'Kara Ltd')"));
    db.exec(QStringLiteral("INSERT INTO MUSTISL VALUES ('A''1', 200.5, 100.3766)"));
    db.exec(QStringLiteral("INSERT INTO MUSTERI VALUES ('', 'Bos Kod')"));
    Query X(db.session(), QStringLiteral("X"));
    QString name = QStringLiteral("eski");
    qint64 balance = 0;
    GetCustomerBalance(X, QStringLiteral("A'1"), name, balance);
    EXPECT_EQ(name, QStringLiteral("Kara Ltd"));
    EXPECT_EQ(balance, 1001234);

    balance = 0;
    GetCustomerBalance(X, QString(), name, balance);
    EXPECT_EQ(name, QStringLiteral("Bos Kod"));
    EXPECT_EQ(balance, 0); // no transactions: a null sum

    balance = 7;
    GetCustomerBalance(X, QStringLiteral("yok' OR '1'='1"), name, balance);
    EXPECT_EQ(name, QString());
    EXPECT_EQ(balance, 7);
}

TEST_F(StatementsTest, SettingsAreInsertedWithDefaultsAndUpdated) {
    Query X(db.session(), QStringLiteral("X"));
    SettingsStore settings(X);
    EXPECT_EQ(settings.ReadSetting(QStringLiteral("Sistem"), QStringLiteral("Firma Adi"),
                                   QStringLiteral("Kestrova")),
              QStringLiteral("Kestrova"));
    EXPECT_EQ(
        db.count(QStringLiteral("AYAR"), QStringLiteral("Modul='POS' AND Bolum='Sistem' AND "
                                                        "Ayar='Firma Adi' AND Deger='Kestrova'")),
        1);
    settings.WriteSetting(QStringLiteral("Sistem"), QStringLiteral("Firma Adi"),
                          QStringLiteral("Lokanta"));
    EXPECT_EQ(
        settings.ReadSetting(QStringLiteral("Sistem"), QStringLiteral("Firma Adi"), QString()),
        QStringLiteral("Lokanta"));
    settings.WriteSetting(QStringLiteral("Yazdirma"), QStringLiteral(" Adisyon yazicisi"),
                          QStringLiteral("Kasa"));
    EXPECT_EQ(db.count(QStringLiteral("AYAR")), 2);
    EXPECT_FALSE(X.isOpen());

    db.exec(QStringLiteral("INSERT INTO AYAR VALUES ('POS', 'Sistem', 'Bos', NULL)"));
    EXPECT_EQ(
        settings.ReadSetting(QStringLiteral("Sistem"), QStringLiteral("Bos"), QStringLiteral("x")),
        QString());
}

// The lease as two servers A and B change it, in order: each change's row count says whether
// it happened, and a fenced write happens only with the holder's epoch.
TEST_F(StatementsTest, LeaseChangesHappenOnlyForItsHolder) {
    SqlLeaseStore lease(db.session());
    lease.Prepare();
    lease.Prepare(); // the second server to start finds it made
    const QString deleteJob = "DELETE FROM A_YazimKuyrugu WHERE AdisyonID=303";
    const ServerIdentity a{"A", "C:/a"};
    const ServerIdentity b{"B", "C:/b"};
    const struct {
        std::function<bool()> happens;
        const char* step;
    } steps[] = {
        {[&] { return lease.Take(a, 0); }, "A takes the new lease"},
        {[&] { return !lease.Take(b, 0); }, "B with the old epoch"},
        {[&] { return !lease.Take(b, 1); }, "B before it ends"},
        {[&] { return lease.Renew(1) && !lease.Renew(0); }, "A renews"},
        {[&] { return !lease.ExecuteFenced(0, deleteJob); }, "write with the old epoch"},
        {[&] { return lease.Release(1), lease.Take(b, 1); }, "B takes over"},
        {[&] { return !lease.Renew(1) && !lease.ExecuteFenced(1, deleteJob); }, "A after it"},
        {[&] { return lease.ExecuteFenced(2, deleteJob); }, "B writes"},
    };
    for (const auto& [happens, step] : steps)
        EXPECT_TRUE(happens()) << step;
    EXPECT_EQ(lease.Holder().server.computer, QStringLiteral("B"));
    EXPECT_EQ(db.count(QStringLiteral("A_YazimKuyrugu")), 3); // only B's write happened
}

// Each failure carries the kind its codes tell, which the connection's recovery decides on.
TEST_F(StatementsTest, FailuresCarryTheKindTheirCodesTell) {
    const QString insert = "INSERT INTO DEPARTMAN VALUES ('9', 'Bahce')";
    DatabaseSession other(QStringLiteral("other"));
    other.Open(db.session().target());
    const struct {
        const char* name;
        std::function<void(DatabaseSession&)> fail;
        ErrorKind kind;
    } cases[] = {
        {"unknown table", [](auto& s) { s.Execute("SELECT * FROM YOK"); }, ErrorKind::Other},
        {"read-only",
         [&](auto& s) {
             s.Execute("PRAGMA query_only=1");
             s.Execute(insert);
         },
         ErrorKind::AccessDenied},
        {"full",
         [](auto& s) {
             s.Execute("PRAGMA max_page_count=1"); // as many as it has
             s.Execute("INSERT INTO DEPARTMAN VALUES ('9', randomblob(100000))");
         },
         ErrorKind::DiskFull},
        {"locked by another writer",
         [&](auto& s) {
             other.Execute("BEGIN IMMEDIATE");
             s.Execute("PRAGMA busy_timeout=0");
             s.Execute(insert);
         },
         ErrorKind::TimedOut},
        {"closed",
         [](auto& s) {
             s.Close();
             s.Select("SELECT 1");
         },
         ErrorKind::ConnectionLost},
        {"not reached",
         [&](auto& s) {
             s.Open({"QSQLITE", db.directory()});
         },
         ErrorKind::Refused},
    };
    for (const auto& [name, fail, kind] : cases) {
        DatabaseSession session(QStringLiteral("failing"));
        session.Open(db.session().target());
        try {
            fail(session);
            ADD_FAILURE() << name << " did not fail";
        } catch (const DatabaseError& error) {
            EXPECT_EQ(error.kind(), kind) << name << ": " << error.message().toStdString();
        }
        other.Rollback();
    }
}

} // namespace
