#include "support/QStringPrinter.h"
#include "support/QueueHarness.h"

#include <gtest/gtest.h>
#include <iostream>

namespace {

// Queue rows no terminal should write, between ordinary jobs: none of them stops the queue,
// none takes an ordinary job's tickets with it, and none disappears unless it was done.
class BadQueueRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        h.seedRestaurant();
        h.db.addBill(302, QStringLiteral("1"), QStringLiteral("5"));
        h.db.addSaleLine(302, QStringLiteral("K1"), 1, 10);
        h.db.addSaleLine(302, QStringLiteral("B1"), 1, 5);
    }

    qint64 queueRaw(const QString& type, const QString& billId) {
        h.db.exec(QStringLiteral("INSERT INTO A_YazimKuyrugu (Tur, AdisyonID) VALUES (%1, %2)")
                      .arg(type, billId));
        return h.db.scalar(QStringLiteral("SELECT MAX(ID) FROM A_YazimKuyrugu")).toLongLong();
    }

    int printed(const QString& path, const QString& line) const {
        int count = 0;
        for (const Ticket& ticket : h.captured.TicketsFor(path))
            count += static_cast<int>(ticket.count(line));
        return count;
    }

    QueueHarness h{QueueHarness::Printing::Captured, {}, false};
};

TEST_F(BadQueueRowsTest, OrdinaryJobsPrintOnceAndOnlyFinishedRowsGo) {
    const qint64 nullBill = queueRaw(QStringLiteral("'0'"), QStringLiteral("NULL"));
    queueRaw(QStringLiteral("'0'"), QStringLiteral("-7"));
    const qint64 textBill = queueRaw(QStringLiteral("'1'"), QStringLiteral("'12a'"));
    h.db.queueJob(302, QStringLiteral("0"));
    const qint64 emptyBill = queueRaw(QStringLiteral("'0'"), QStringLiteral("''"));
    queueRaw(QStringLiteral("'9'"), QStringLiteral("302"));
    queueRaw(QStringLiteral("NULL"), QStringLiteral("302"));
    // Lines of a bill whose header row the terminal has not written (yet).
    const qint64 pilav = h.db.addSaleLine(404, QStringLiteral("P1"), 1, 8);
    h.db.queueJob(404, QStringLiteral("0"));
    h.db.queueJob(302, QStringLiteral("1"));
    const int queuedRows = h.queued();
    h.tick(16);

    // Left: the row without a bill, which the queue never reads, and the two whose bill is no
    // number, set aside after their attempts; nothing else.
    QList<qint64> left;
    RecordSet rows = h.db.session().Select(QStringLiteral("SELECT ID FROM A_YazimKuyrugu"));
    for (rows.First(); !rows.Eof(); rows.Next())
        left << rows.value(QStringLiteral("ID")).toLongLong();
    EXPECT_EQ(left, (QList<qint64>{nullBill, textBill, emptyBill}));

    EXPECT_EQ(printed(QStringLiteral("MUTFAK-1"), QStringLiteral("%+1   Köfte")), 1);
    EXPECT_EQ(printed(QStringLiteral("BAR-1"), QStringLiteral("%+1   Ayran")), 1);
    EXPECT_EQ(printed(QStringLiteral("IZGARA-1"), QStringLiteral("%+1   Az pişmiş")), 1);
    EXPECT_EQ(h.builtBills, QStringList{"1:302"});
    EXPECT_EQ(h.notices.filter(QStringLiteral("Is yazdirilamadi -- ")).size(), 2);
    EXPECT_EQ(h.notices.filter(QStringLiteral("sn sonra yeniden denenecek")).size(), 2);
    EXPECT_EQ(h.notices.size(), 4) << h.notices.join(QLatin1Char('\n')).toStdString();

    // Without its bill row the job finds no line to carry: the line stays pending, and the job
    // queued once the bill exists prints it.
    EXPECT_EQ(h.flags(pilav), QStringLiteral("0/0/0"));
    EXPECT_EQ(printed(QStringLiteral("MUTFAK-1"), QStringLiteral("%+1   Pilav")), 0);
    h.db.addBill(404, QStringLiteral("1"), QStringLiteral("9"));
    h.db.queueJob(404, QStringLiteral("0"));
    h.tick();
    EXPECT_EQ(h.flags(pilav), QStringLiteral("1/1/0"));
    EXPECT_EQ(printed(QStringLiteral("MUTFAK-1"), QStringLiteral("%+1   Pilav")), 1);
    EXPECT_EQ(h.queued(), 3);
    std::cout << "bad queue rows: " << queuedRows << " rows, " << left.size()
              << " left queued (no bill, bill not a number), " << h.notices.size()
              << " reports, ordinary lines printed once\n";
}

} // namespace
