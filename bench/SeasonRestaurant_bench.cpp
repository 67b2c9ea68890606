#include "SeasonRestaurant.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <functional>

namespace {

constexpr int kBills = 10000;
constexpr int kLinesPerBill = 20;
constexpr int kProducts = 30;
constexpr int kCustomers = 200;
constexpr int kMovementsPerCustomer = 50;
constexpr qint64 kJobBill = 5000;

const QStringList kProductionPrinters{"Mutfak", "Bar", "Soguk"};

QString productCode(int number) {
    return QStringLiteral("U%1").arg(number % kProducts);
}

QString customerCode(int number) {
    return QStringLiteral("C%1").arg(number % kCustomers, 3, 10, QLatin1Char('0'));
}

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

} // namespace

SeasonRestaurant& SeasonRestaurant::Get() {
    static SeasonRestaurant* restaurant = nullptr;
    if (!restaurant) {
        restaurant = new SeasonRestaurant;
        // The database connection must go before the application object does.
        qAddPostRoutine([] {
            delete restaurant;
            restaurant = nullptr;
        });
    }
    return *restaurant;
}

SeasonRestaurant::SeasonRestaurant()
    : m_runner(m_db, {"MUTFAK-1", "BAR-1", "SOGUK-1", "IZGARA-1", "KASA-1"}) {
    SeedMenu();
    SeedCustomers();
    SeedBills();
    m_runner.LoadPrinters();
    m_runner.options.customerFlag = true;
}

// Products U0 to U29 in turn on Mutfak, Bar and Soguk; every third one also on Izgara.
void SeasonRestaurant::SeedMenu() {
    m_db.exec(QStringLiteral("INSERT INTO DEPARTMAN VALUES ('1', 'Salon')"));
    m_db.exec(QStringLiteral("INSERT INTO [USER] VALUES ('G1', 'Ayşe')"));
    for (int product = 0; product < kProducts; ++product) {
        const QString code = productCode(product);
        m_db.addProduct(code, QStringLiteral("Urun %1").arg(product),
                        kProductionPrinters.at(product % kProductionPrinters.size()));
        if (product % 3 == 0) {
            m_db.exec(
                QStringLiteral("INSERT INTO URUNEKYAZICI VALUES ('%1', '1', 'Izgara', 'Izgara')")
                    .arg(code));
        }
    }
    const QStringList paths{"MUTFAK-1", "BAR-1", "SOGUK-1"};
    for (int i = 0; i < paths.size(); ++i)
        m_db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('%1', '%2')")
                      .arg(kProductionPrinters.at(i), paths.at(i)));
    m_db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Izgara', 'IZGARA-1')"));
    m_db.exec(QStringLiteral("INSERT INTO A_Yazicilar VALUES ('Adisyon', 'KASA-1')"));
}

// Account customers with a season of movements each, for the balance on their bills.
void SeasonRestaurant::SeedCustomers() {
    QSqlDatabase database = m_db.session().database();
    database.transaction();
    InsertAll(database, QStringLiteral("INSERT INTO MUSTERI (KODU, UNVAN) VALUES (?, ?)"),
              kCustomers, [](int row) {
                  return QVariantList{customerCode(row), QStringLiteral("Cari %1").arg(row)};
              });
    InsertAll(
        database, QStringLiteral("INSERT INTO MUSTISL (KODU, ALACAK, BORC) VALUES (?, ?, ?)"),
        kCustomers * kMovementsPerCustomer, [](int row) {
            return QVariantList{customerCode(row), row % 2 ? 0.0 : 750.0, row % 2 ? 420.5 : 0.0};
        });
    database.commit();
}

// Every line sent, in two sub-accounts; every fifth bill an account customer's; every tenth
// bill had its first two items taken back.
void SeasonRestaurant::SeedBills() {
    QSqlDatabase database = m_db.session().database();
    database.transaction();
    InsertAll(
        database,
        QStringLiteral("INSERT INTO A_Adisyon (ID, DEPKODU, MASANO, MUSTERIKODU, ACIKLAMA, "
                       "INDORAN, INDTOPLAM, SERVISORAN, SERVISTUTAR, TOPLAM, ONAKIT, OKK, "
                       "ADISYONNO, ALAN, FaturaNo, FaturaETTN) VALUES (?, '1', ?, ?, "
                       "'Not', 10, 40, 5, 18, 378, 200, 178, ?, ?, ?, ?)"),
        kBills, [](int row) {
            const int bill = row + 1;
            return QVariantList{
                bill,
                QString::number(row % 40),
                bill % 5 ? QVariant() : QVariant(customerCode(bill)),
                QStringLiteral("VLM2026%1").arg(bill, 9, 10, QLatin1Char('0')),
                QStringLiteral("6f1c2e0a-3b4d-4c5e-8f90-%1").arg(bill, 12, 10, QLatin1Char('0')),
                QStringLiteral("FTR%1").arg(bill),
                QStringLiteral("0e7d5f3a-9c1b-4e2d-a6f8-%1").arg(bill, 12, 10, QLatin1Char('0'))};
        });
    InsertAll(database,
              QStringLiteral("INSERT INTO A_AdsSatir (FISID, URUNKODU, ADET, TUTAR, SIP, YAZ, "
                             "EKYAZ, H) VALUES (?, ?, ?, 20, 1, 1, 1, ?)"),
              kBills * kLinesPerBill, [](int row) {
                  return QVariantList{row / kLinesPerBill + 1, productCode(row), 1 + row % 3,
                                      1 + row % 2};
              });
    InsertAll(database,
              QStringLiteral("INSERT INTO A_AdsIade (FISID, URUNKODU, ADET, TUTAR, SIP, YAZ, "
                             "EKYAZ) VALUES (?, ?, 1, 20, 1, 1, 1)"),
              kBills / 10 * 2, [](int row) {
                  const int bill = (row / 2 + 1) * 10;
                  return QVariantList{bill, productCode((bill - 1) * kLinesPerBill + row % 2)};
              });
    database.commit();
}

void SeasonRestaurant::ReopenSaleLines() {
    m_db.exec(QStringLiteral("UPDATE A_AdsSatir SET SIP=0, YAZ=0, EKYAZ=0 WHERE ID IN (SELECT "
                             "ID FROM A_AdsSatir WHERE FISID=%1 ORDER BY ID LIMIT 10)")
                  .arg(kJobBill));
}

void SeasonRestaurant::ReopenReturnLines() {
    m_db.exec(QStringLiteral("UPDATE A_AdsIade SET YAZ=0, EKYAZ=0 WHERE FISID=%1").arg(kJobBill));
}

void SeasonRestaurant::QueueJob(const QString& type, int subAccount) {
    m_db.exec(QStringLiteral("INSERT INTO A_YazimKuyrugu (Tur, AdisyonID, GarsonKodu, "
                             "ParcaliHesap, ParcaliTur) VALUES ('%1', %2, 'G1', %3, 'Kişi başı')")
                  .arg(type)
                  .arg(kJobBill)
                  .arg(subAccount));
}
