#include "core/RegionalSettings.h"
#include "support/QStringPrinter.h"
#include "support/QueueHarness.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <utility>

namespace {

QList<qint64> lineIds(Query& lines) {
    QList<qint64> ids;
    for (lines.First(); !lines.Eof(); lines.Next())
        ids << lines.value(QStringLiteral("ID")).toLongLong();
    return ids;
}

class QueuePollerTest : public ::testing::Test {
protected:
    void SetUp() override { h.seedRestaurant(); }

    // Department name and code as each bill builder saw them.
    QStringList departmentsSeen() {
        QStringList seen;
        h.duringBuild = [&] {
            seen << h.job.Departman + QLatin1Char('|') + h.job.DeptKodu;
        };
        h.tick(h.queued());
        return seen;
    }

    QueueHarness h;
};

TEST_F(QueuePollerTest, EmptyQueueLetsWaitingMessagesThroughAndDoesNothingElse) {
    bool delivered = false;
    QMetaObject::invokeMethod(
        qApp, [&] { delivered = true; }, Qt::QueuedConnection);
    h.tick();
    EXPECT_TRUE(delivered);
    EXPECT_FALSE(h.poller.isBusy());
    EXPECT_TRUE(h.captured.printed().isEmpty());
    EXPECT_TRUE(h.builtBills.isEmpty());
    EXPECT_TRUE(h.logLines().isEmpty());
}

TEST_F(QueuePollerTest, JobTypesOutsideTheTableAreDeletedUnprinted) {
    h.db.addBill(302, QStringLiteral("1"), QStringLiteral("5"));
    const qint64 line = h.db.addSaleLine(302, QStringLiteral("K1"), 1, 10);
    for (const char* type : {"6", "00", " 1", ""})
        h.db.queueJob(302, QString::fromLatin1(type));
    h.tick(4);
    EXPECT_EQ(h.queued(), 0);
    EXPECT_TRUE(h.captured.printed().isEmpty());
    EXPECT_TRUE(h.builtBills.isEmpty());
    EXPECT_EQ(h.flags(line), QStringLiteral("0/0/0"));
}

TEST_F(QueuePollerTest, BillJobsFindTheJobRecordAndTheirLinesPrepared) {
    const RegionalSettings saved = RegionalSettings::current();
    RegionalSettings comma = saved;
    comma.decimalSeparator = QLatin1Char(',');
    RegionalSettings::setCurrent(comma);

    h.db.addBill(302, QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("Acele"));
    h.db.exec(QStringLiteral(
        "UPDATE A_Adisyon SET INDORAN=10, INDTOPLAM=12.5, SERVISTUTAR=100 WHERE ID=302"));
    h.db.addBill(303, QStringLiteral("1"), QStringLiteral("ZH"));
    const qint64 kitchenOnly = h.db.addSaleLine(302, QStringLiteral("K1"), 1, 10);
    const qint64 bothSent = h.db.addSaleLine(302, QStringLiteral("K1"), 1, 10);
    h.db.addSaleLine(302, QStringLiteral("K1"), 1, 10); // still pending
    const qint64 zhSent = h.db.addSaleLine(303, QStringLiteral("K1"), 1, 10);
    h.db.addSaleLine(303, QStringLiteral("K1"), 1, 10);
    h.db.exec(QStringLiteral("UPDATE A_AdsSatir SET SIP=1, YAZ=1 WHERE ID IN (%1, %2)")
                  .arg(kitchenOnly)
                  .arg(bothSent));
    h.db.exec(QStringLiteral("UPDATE A_AdsSatir SET EKYAZ=1 WHERE ID=%1").arg(bothSent));
    h.db.exec(QStringLiteral("UPDATE A_AdsSatir SET SIP=1 WHERE ID=%1").arg(zhSent));
    h.db.queueJob(302, QStringLiteral("1"), QStringLiteral("G1"));
    h.db.queueJob(303, QStringLiteral("3"));

    QList<TYazimIsi> jobs;
    QList<QList<qint64>> lines;
    h.duringBuild = [&] {
        jobs << h.job;
        lines << lineIds(h.A) << lineIds(h.EKA);
    };
    h.tick(2);
    RegionalSettings::setCurrent(saved);

    EXPECT_EQ(h.builtBills, (QStringList{"1:302", "3:303"}));
    ASSERT_EQ(jobs.size(), 2);
    const TYazimIsi& bill = jobs.at(0);
    EXPECT_EQ(bill.MASANO, QStringLiteral("5"));
    EXPECT_EQ(bill.Garson, QStringLiteral("Ayşe"));
    EXPECT_EQ(bill.Departman, QStringLiteral("Salon"));
    EXPECT_EQ(bill.ACIKLAMA, QStringLiteral("Acele"));
    EXPECT_EQ(bill.INDORAN, QStringLiteral("10"));
    EXPECT_EQ(bill.INDTOPLAM, QStringLiteral("12,5"));
    EXPECT_EQ(bill.SERVISTUTAR, QStringLiteral("100"));
    EXPECT_EQ(bill.TOPLAM, QString()); // null amount
    EXPECT_EQ(lines.at(0), (QList<qint64>{kitchenOnly, bothSent}));
    EXPECT_EQ(lines.at(1), (QList<qint64>{bothSent}));
    EXPECT_EQ(lines.at(2), (QList<qint64>{zhSent})); // "ZH": sent lines with YAZ still 0
    EXPECT_EQ(h.queued(), 0);
}

TEST_F(QueuePollerTest, JobWithoutItsBillRunsWithEmptyBillFieldsAndIsDeleted) {
    h.db.queueJob(999, QStringLiteral("1"));
    h.db.queueJob(999, QStringLiteral("0"));
    TYazimIsi seen;
    h.duringBuild = [&] {
        seen = h.job;
    };
    h.tick(2);
    EXPECT_EQ(h.builtBills, QStringList{"1:999"});
    EXPECT_EQ(seen.AdisyonID, QStringLiteral("999"));
    for (const QString& field :
         {seen.MASANO, seen.Departman, seen.DeptKodu, seen.ACIKLAMA, seen.TOPLAM, seen.INDTOPLAM})
        EXPECT_EQ(field, QString());
    EXPECT_TRUE(h.captured.printed().isEmpty());
    EXPECT_EQ(h.queued(), 0);
}

TEST_F(QueuePollerTest, DepartmentsComeFromTheListWithItsTwoFixedRows) {
    h.db.addBill(303, QStringLiteral("20"), QStringLiteral("P1"));
    h.db.addBill(304, QStringLiteral("22"), QStringLiteral("H1"));
    h.db.addBill(305, QStringLiteral("99"), QStringLiteral("7"));
    for (qint64 bill : {303, 304, 305})
        h.db.queueJob(bill, QStringLiteral("1"));
    EXPECT_EQ(departmentsSeen(), (QStringList{"Paket Satış|20", "Hızlı Satış|22", "|"}));
}

TEST_F(QueuePollerTest, ADepartmentRowBesideAFixedCodeDoublesTheRowButTheJobRunsOnce) {
    h.db.exec(QStringLiteral("INSERT INTO DEPARTMAN VALUES ('20', 'Bahçe')"));
    h.db.addBill(303, QStringLiteral("20"), QStringLiteral("P1"));
    h.db.queueJob(303, QStringLiteral("1"));
    const QStringList seen = departmentsSeen();
    ASSERT_EQ(seen.size(), 1);
    EXPECT_TRUE(seen.first() == "Bahçe|20" || seen.first() == "Paket Satış|20")
        << seen.first().toStdString();
    h.tick();
    EXPECT_EQ(h.builtBills.size(), 1);
    EXPECT_EQ(h.queued(), 0);
}

TEST_F(QueuePollerTest, EachTickTakesOneJobAndALaterProductionJobFindsNothingLeft) {
    h.db.addBill(302, QStringLiteral("1"), QStringLiteral("5"));
    h.db.addSaleLine(302, QStringLiteral("K1"), 1, 10);
    h.db.queueJob(302, QStringLiteral("0"));
    h.db.queueJob(302, QStringLiteral("0"));
    h.db.queueJob(302, QStringLiteral("1"));
    h.tick();
    EXPECT_EQ(h.captured.paths(), (QStringList{"MUTFAK-1", "IZGARA-1"}));
    EXPECT_EQ(h.queued(), 2);
    h.tick();
    EXPECT_EQ(h.captured.printed().size(), 2);
    EXPECT_TRUE(h.poller.printerLists().production.isEmpty());
    EXPECT_EQ(h.queued(), 1);
    h.tick();
    EXPECT_EQ(h.builtBills, QStringList{"1:302"});
    EXPECT_EQ(h.queued(), 0);
}

TEST_F(QueuePollerTest, ATickCalledInsideABusyTickReturnsAtOnce) {
    h.db.queueJob(302, QStringLiteral("1"));
    h.db.queueJob(303, QStringLiteral("1"));
    bool busyInside = false;
    bool nested = false;
    h.duringBuild = [&] {
        if (std::exchange(nested, true))
            return;
        busyInside = h.poller.isBusy();
        h.tick();
    };
    h.tick();
    EXPECT_TRUE(busyInside);
    EXPECT_EQ(h.builtBills, QStringList{"1:302"});
    EXPECT_EQ(h.queued(), 1);
    EXPECT_FALSE(h.poller.isBusy());
}

TEST_F(QueuePollerTest, ATickWaitingInTheEventQueueRunsWholeBeforeTheBusyFlagIsSet) {
    h.db.queueJob(302, QStringLiteral("1"));
    h.db.queueJob(303, QStringLiteral("1"));
    QMetaObject::invokeMethod(
        qApp, [&] { h.tick(); }, Qt::QueuedConnection);
    h.tick();
    EXPECT_EQ(h.builtBills, (QStringList{"1:302", "1:303"}));
    EXPECT_EQ(h.queued(), 0);
}

} // namespace
