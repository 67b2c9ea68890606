#include "print/TicketMarkup.h"
#include "support/QStringPrinter.h"
#include "support/QueueHarness.h"

#include <QFile>
#include <gtest/gtest.h>
#include <iostream>

namespace {

struct DropCase {
    const char* type; // "0" production or "2" cancellation
    int afterTicket;  // the connection goes right after this ticket came out (from 1)
    const char* name;
};

// The database goes away in the middle of a kitchen job, right after one of its tickets came
// out and before that ticket's lines are marked, and stays away for a few ticks: the server is
// stopped and the file is out of reach, as when the database server restarts.
class ConnectionDropTest : public ::testing::TestWithParam<DropCase> {
protected:
    void SetUp() override {
        h.seedRestaurant();
        h.db.addBill(302, QStringLiteral("1"), QStringLiteral("5"));
        const bool cancellation = QLatin1String(GetParam().type) == QLatin1String("2");
        for (const char* product : {"B1", "K1", "P1"}) {
            const QString code = QString::fromLatin1(product);
            if (cancellation)
                h.db.addReturnLine(302, code, 1, 10);
            else
                h.db.addSaleLine(302, code, 1, 10);
        }
        h.db.queueJob(302, QString::fromLatin1(GetParam().type));
        h.captured.setAfterPrint([this](const CapturingTicketPrinter::Printed&) {
            if (++m_ticketsOut == GetParam().afterTicket)
                dropDatabase();
        });
    }

    void dropDatabase() {
        h.db.session().Close();
        ASSERT_TRUE(QFile::rename(h.db.filePath(), away()));
    }
    QString away() const { return h.db.filePath() + QStringLiteral(".away"); }

    // How often the item line came out on the printer's tickets, ordered or cancelled.
    int printed(const QString& path, const QString& item) const {
        int count = 0;
        for (const Ticket& ticket : h.captured.TicketsFor(path))
            count +=
                static_cast<int>(ticket.count(kItem + item) + ticket.count(kStandOutItem + item));
        return count;
    }

    QueueHarness h{QueueHarness::Printing::Captured, {}, false};
    int m_ticketsOut = 0;
};

TEST_P(ConnectionDropTest, EveryLineComesOutOnceThoughItsMarkingWasCutOff) {
    h.tick(3); // the drop, then two ticks that cannot reconnect
    ASSERT_EQ(h.captured.printed().size(), GetParam().afterTicket);
    ASSERT_TRUE(QFile::rename(away(), h.db.filePath()));
    h.tick(4);

    EXPECT_EQ(h.queued(), 0);
    ASSERT_EQ(h.notices.size(), 2) << h.notices.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(h.notices[0].startsWith(QStringLiteral("Veritabani baglantisi koptu -- Hata: ")));
    EXPECT_EQ(h.notices[1], QStringLiteral("Veritabani baglantisi yeniden kuruldu"));

    // Each line on its own printer, and Köfte on the grill's extra printer too.
    const QList<QPair<QString, QString>> placements{{"BAR-1", "1   Ayran"},
                                                    {"MUTFAK-1", "1   Köfte"},
                                                    {"MUTFAK-1", "1   Pilav"},
                                                    {"IZGARA-1", "1   Az pişmiş"}};
    int reprinted = 0;
    int lost = 0;
    for (const auto& [path, item] : placements) {
        // The ticket that came out just before the drop had no marks written for it: the
        // retry marks its lines without printing them again.
        const int count = printed(path, item);
        EXPECT_EQ(count, 1) << path.toStdString() << " " << item.toStdString();
        reprinted += count > 1 ? 1 : 0;
        lost += count == 0 ? 1 : 0;
    }
    const QString table = GetParam().type == QLatin1String("2") ? QStringLiteral("A_AdsIade")
                                                                : QStringLiteral("A_AdsSatir");
    EXPECT_EQ(h.db.count(table, QStringLiteral("SIP=1 AND YAZ=1")), 3);
    EXPECT_EQ(h.db.count(table, QStringLiteral("URUNKODU='K1' AND EKYAZ=1")), 1);
    std::cout << "connection drop (" << GetParam().name << "): " << placements.size()
              << " placements, " << reprinted << " reprinted, " << lost << " lost\n";
}

INSTANTIATE_TEST_SUITE_P(DropPoints, ConnectionDropTest,
                         ::testing::Values(DropCase{"0", 1, "ProductionAfterFirstTicket"},
                                           DropCase{"0", 2, "ProductionAfterSecondTicket"},
                                           DropCase{"0", 3, "ProductionAfterExtraTicket"},
                                           DropCase{"2", 1, "CancellationAfterFirstTicket"},
                                           DropCase{"2", 3, "CancellationAfterExtraTicket"}),
                         [](const ::testing::TestParamInfo<DropCase>& drop) {
                             return std::string(drop.param.name);
                         });

} // namespace
