#include "support/QueueHarness.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <benchmark/benchmark.h>
#include <functional>

namespace {

constexpr int kBills = 10000;
constexpr int kLinesPerBill = 20;
constexpr qint64 kJobBill = 5000;
constexpr int kJobLines = 10;

void InsertAll(QSqlDatabase database, const QString& statement, int rows,
               const std::function<QVariantList(int)>& values) {
    QSqlQuery insert(database);
    insert.prepare(statement);
    for (int row = 0; row < rows; ++row) {
        const QVariantList rowValues = values(row);
        for (int i = 0; i < rowValues.size(); ++i)
            insert.bindValue(i, rowValues.at(i));
        if (!insert.exec())
            qFatal("insert failed: %s", qPrintable(statement));
    }
}

// A restaurant after a long season: every line sent, except the ten lines of one bill that the
// benchmarked job prints on three production printers and one extra printer.
QueueHarness* SeasonRestaurant() {
    static QueueHarness* harness = nullptr;
    if (harness)
        return harness;
    const QStringList paths{"MUTFAK-1", "BAR-1", "SOGUK-1", "IZGARA-1"};
    harness = new QueueHarness(QueueHarness::Printing::Rendered, paths, false);
    qAddPostRoutine([] {
        delete harness;
        harness = nullptr;
    });

    TestDatabase& db = harness->db;
    const QStringList printers{"Mutfak", "Bar", "Soguk"};
    for (int i = 0; i < printers.size(); ++i)
        harness->addPrinter(printers.at(i), paths.at(i));
    harness->addPrinter(QStringLiteral("Izgara"), QStringLiteral("IZGARA-1"));
    db.exec(QStringLiteral("INSERT INTO DEPARTMAN VALUES ('1', 'Salon')"));
    for (int product = 0; product < 30; ++product) {
        const QString code = QStringLiteral("U%1").arg(product);
        db.addProduct(code, QStringLiteral("Urun %1").arg(product), printers.at(product % 3));
        if (product % 3 == 0) {
            db.exec(
                QStringLiteral("INSERT INTO URUNEKYAZICI VALUES ('%1', '1', 'Izgara', 'Izgara')")
                    .arg(code));
        }
    }

    QSqlDatabase database = db.session().database();
    database.transaction();
    InsertAll(database,
              QStringLiteral("INSERT INTO A_Adisyon (ID, DEPKODU, MASANO, ACIKLAMA) "
                             "VALUES (?, '1', ?, 'Not')"),
              kBills, [](int row) {
                  return QVariantList{row + 1, QString::number(row % 40)};
              });
    InsertAll(database,
              QStringLiteral("INSERT INTO A_AdsSatir (FISID, URUNKODU, ADET, TUTAR, SIP, YAZ, "
                             "EKYAZ) VALUES (?, ?, ?, 10, 1, 1, 1)"),
              kBills * kLinesPerBill, [](int row) {
                  return QVariantList{row / kLinesPerBill + 1, QStringLiteral("U%1").arg(row % 30),
                                      1 + row % 3};
              });
    database.commit();
    return harness;
}

// One tick of a production job, tickets rendered on recording canvases without the pause.
void BM_ProductionTick(benchmark::State& state) {
    QueueHarness& restaurant = *SeasonRestaurant();
    const QString reopen =
        QStringLiteral("UPDATE A_AdsSatir SET SIP=0, YAZ=0, EKYAZ=0 WHERE ID IN (SELECT ID FROM "
                       "A_AdsSatir WHERE FISID=%1 ORDER BY ID LIMIT %2)")
            .arg(kJobBill)
            .arg(kJobLines);
    for (auto _ : state) {
        state.PauseTiming();
        restaurant.db.exec(reopen);
        restaurant.db.queueJob(kJobBill, QStringLiteral("0"));
        const int before = restaurant.rendered.printers().documentCount();
        state.ResumeTiming();

        restaurant.tick();

        state.PauseTiming();
        if (restaurant.rendered.printers().documentCount() - before != 4 || restaurant.queued())
            state.SkipWithError("the tick did not print its four tickets");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ProductionTick)->Unit(benchmark::kMillisecond);

} // namespace
