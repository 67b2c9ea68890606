#include "terminal/DemoRestaurant.h"

#include "db/DatabaseSession.h"
#include "terminal/Terminal.h"

namespace {

struct Product {
    const char* code;
    const char* name;
    const char* printer;
    const char* unit;
    double price;
};

const Product products[] = {
    {"C01", "Mercimek Çorbası", "Mutfak", "KASE", 90},
    {"C02", "Ezogelin Çorbası", "Mutfak", "KASE", 90},
    {"M01", "Çoban Salata", "Mutfak", "PORS", 110},
    {"M02", "Humus", "Mutfak", "PORS", 95},
    {"M03", "Haydari", "Mutfak", "PORS", 85},
    {"M04", "Karnıyarık", "Mutfak", "PORS", 240},
    {"M05", "Mantı", "Mutfak", "PORS", 260},
    {"M06", "İçli Köfte", "Mutfak", "ADET", 65},
    {"M07", "Lahmacun", "Izgara", "ADET", 120},
    {"I01", "Adana Kebap", "Izgara", "PORS", 420},
    {"I02", "Urfa Kebap", "Izgara", "PORS", 420},
    {"I03", "Kuzu Şiş", "Izgara", "PORS", 520},
    {"I04", "Tavuk Şiş", "Izgara", "PORS", 340},
    {"I05", "Izgara Köfte", "Izgara", "PORS", 380},
    {"I06", "Kuzu Pirzola", "Izgara", "PORS", 680},
    {"I07", "Karışık Izgara", "Izgara", "PORS", 750},
    {"T01", "Künefe", "Tatli", "PORS", 210},
    {"T02", "Fıstıklı Baklava", "Tatli", "PORS", 240},
    {"T03", "Fırın Sütlaç", "Tatli", "KASE", 120},
    {"T04", "Kazandibi", "Tatli", "PORS", 130},
    {"T05", "Maraş Dondurma", "Tatli", "TOP", 45},
    {"B01", "Ayran", "Bar", "BARDAK", 40},
    {"B02", "Şalgam", "Bar", "BARDAK", 45},
    {"B03", "Türk Kahvesi", "Bar", "FINCAN", 75},
    {"B04", "Çay", "Bar", "BARDAK", 20},
    {"B05", "Ev Yapımı Limonata", "Bar", "BARDAK", 80},
    {"B06", "Maden Suyu", "Bar", "SISE", 35},
    {"B07", "Kola", "Bar", "KUTU", 55},
    {"B08", "Taze Portakal Suyu", "Bar", "BARDAK", 95},
    {"B09", "Su", "Bar", "SISE", 15},
};

double priceOf(const QString& code) {
    for (const Product& product : products) {
        if (code == QLatin1String(product.code))
            return product.price;
    }
    return 0;
}

void exec(DatabaseSession& session, const QString& statement, const SqlParameters& parameters) {
    session.ExecuteWithParameters(statement, parameters);
}

} // namespace

namespace DemoRestaurant {

QStringList PrinterNames() {
    return {QStringLiteral("Mutfak"), QStringLiteral("Izgara"),    QStringLiteral("Tatli"),
            QStringLiteral("Bar"),    QStringLiteral("Bahce Bar"), QStringLiteral("Servis"),
            QStringLiteral("Adisyon")};
}

void Seed(DatabaseSession& session, const QString& printerFolder, const QString& kitchenOptions,
          const QStringList& screens) {
    const QString department = QStringLiteral("INSERT INTO DEPARTMAN (KODU, ADI) VALUES (:K, :A)");
    exec(session, department, {{"K", "1"}, {"A", QStringLiteral("Salon")}});
    exec(session, department, {{"K", "2"}, {"A", QStringLiteral("Bahçe")}});
    exec(session, department, {{"K", "3"}, {"A", QStringLiteral("Teras")}});

    const QString waiter = QStringLiteral("INSERT INTO [USER] (KODU, ADI) VALUES (:K, :A)");
    exec(session, waiter, {{"K", "1"}, {"A", QStringLiteral("Ahmet Yılmaz")}});
    exec(session, waiter, {{"K", "2"}, {"A", QStringLiteral("Elif Kaya")}});
    exec(session, waiter, {{"K", "3"}, {"A", QStringLiteral("Mehmet Demir")}});

    for (const Product& product : products) {
        exec(session,
             QStringLiteral("INSERT INTO URUN (KODU, ADI, YAZICI, BIRIM) VALUES (:K, :A, :Y, :B)"),
             {{"K", QString::fromUtf8(product.code)},
              {"A", QString::fromUtf8(product.name)},
              {"Y", QString::fromUtf8(product.printer)},
              {"B", QString::fromUtf8(product.unit)}});
    }

    // The garden has its own drinks counter; take-away grill orders go to the kitchen.
    const QString override = QStringLiteral(
        "INSERT INTO URUNYAZICI (UrunKodu, Departman, YaziciAdi) VALUES (:U, :D, :Y)");
    for (const char* drink : {"B01", "B03", "B04", "B05"})
        exec(session, override, {{"U", QString::fromUtf8(drink)}, {"D", "2"}, {"Y", "Bahce Bar"}});
    exec(session, override, {{"U", "M07"}, {"D", "20"}, {"Y", "Mutfak"}});

    const QString extra = QStringLiteral("INSERT INTO URUNEKYAZICI (UrunKodu, Departman, "
                                         "YaziciAdi, Aciklama) VALUES (:U, :D, :Y, :A)");
    exec(session, extra,
         {{"U", "I01"},
          {"D", "1"},
          {"Y", "Servis"},
          {"A", QStringLiteral("Adana tabağı, közlenmiş biber")}});
    exec(
        session, extra,
        {{"U", "I07"}, {"D", "1"}, {"Y", "Servis"}, {"A", QStringLiteral("Karışık tabak, lavaş")}});
    exec(session, extra,
         {{"U", "T01"}, {"D", "1"}, {"Y", "Servis"}, {"A", QStringLiteral("Künefe kaymaklı")}});
    exec(session, extra,
         {{"U", "I03"}, {"D", "2"}, {"Y", "Servis"}, {"A", QStringLiteral("Kuzu şiş garnitür")}});

    const QString printer = QStringLiteral("INSERT INTO A_Yazicilar (Adi, Yol) VALUES (:A, :Y)");
    for (const QString& name : PrinterNames()) {
        const QString folder = QString(name).replace(QLatin1Char(' '), QLatin1Char('-')).toLower();
        QString path = QStringLiteral("pdf:%1/%2").arg(printerFolder, folder);
        if (name == QLatin1String("Mutfak") && !kitchenOptions.isEmpty())
            path += QLatin1Char('?') + kitchenOptions;
        if (screens.contains(name))
            path = QStringLiteral("ekran:") + name;
        exec(session, printer, {{"A", name}, {"Y", path}});
    }

    const QString customer = QStringLiteral("INSERT INTO MUSTERI (KODU, UNVAN) VALUES (:K, :U)");
    exec(session, customer, {{"K", "C001"}, {"U", QStringLiteral("Kara Lojistik A.Ş.")}});
    exec(session, customer, {{"K", "C002"}, {"U", QStringLiteral("Deniz Otelcilik Ltd.")}});
    const QString movement =
        QStringLiteral("INSERT INTO MUSTISL (KODU, ALACAK, BORC) VALUES (:K, :A, :B)");
    exec(session, movement, {{"K", "C001"}, {"A", 2500.0}, {"B", 0.0}});
    exec(session, movement, {{"K", "C001"}, {"A", 0.0}, {"B", 1840.5}});
    exec(session, movement, {{"K", "C002"}, {"A", 0.0}, {"B", 1200.0}});

    const QString setting =
        QStringLiteral("INSERT INTO AYAR (Modul, Bolum, Ayar, Deger) VALUES ('POS', :B, :A, :D)");
    exec(session, setting,
         {{"B", "Sistem"}, {"A", "Firma Adi"}, {"D", QStringLiteral("Lokanta Velmora")}});
    exec(session, setting,
         {{"B", "Yazdirma"}, {"A", "Bitis yazisi"}, {"D", QStringLiteral("Yine bekleriz!")}});
    // The demo polls every second rather than every two.
    exec(session, setting,
         {{"B", "Sistem"}, {"A", "Server calisma araligi (x snde bir)"}, {"D", "1"}});
}

int QueueEvening(DatabaseSession& session) {
    Terminal terminal(session);
    auto order = [&](qint64 bill, const char* product, double quantity, const QString& note = {},
                     int subAccount = 0) {
        terminal.Order(bill, {QString::fromLatin1(product), quantity,
                              quantity * priceOf(QString::fromLatin1(product)), note, subAccount});
    };
    int jobs = 0;
    auto queue = [&](qint64 bill, const char* type, const char* waiter, const QString& printer = {},
                     const QString& subAccount = {}, const QString& kind = {}) {
        terminal.Queue({bill, QString::fromLatin1(type), QString::fromLatin1(waiter), printer,
                        subAccount, kind});
        ++jobs;
    };

    // Table 5 in the hall: soup, grill with an extra ticket for the pass, drinks.
    terminal.OpenBill({1001, "1", "5", {}, QStringLiteral("Doğum günü masası")});
    order(1001, "C01", 2);
    order(1001, "I01", 2, QStringLiteral("Acılı"));
    order(1001, "I07", 1);
    order(1001, "B01", 3);
    order(1001, "M01", 1, QStringLiteral("Soğansız"));
    queue(1001, "0", "1");

    // Table 12: mezes and a lamb skewer, then a returned ayran.
    terminal.OpenBill({1002, "1", "12", {}, {}});
    order(1002, "M02", 1);
    order(1002, "M03", 1);
    order(1002, "I03", 2);
    order(1002, "B01", 2);
    queue(1002, "0", "2");

    // The garden, split between two friends.
    terminal.OpenBill({1003, "2", "B3", {}, {}});
    order(1003, "I04", 1, {}, 1);
    order(1003, "B04", 2, {}, 1);
    order(1003, "I03", 1, {}, 2);
    order(1003, "B05", 1, {}, 2);
    order(1003, "T02", 1, QStringLiteral("Kaymakla"), 2);
    queue(1003, "0", "3");

    // Take-away.
    terminal.OpenBill({1004, "20", "P-17", {}, QStringLiteral("Kapıda ödeme")});
    order(1004, "M07", 4);
    order(1004, "B02", 2);
    queue(1004, "0", "1");

    // A quick-sale counter whose orders print for the kitchen and stay open for the bill.
    terminal.OpenBill({1005, "22", "ZH", {}, {}});
    order(1005, "M06", 3);
    order(1005, "B03", 1, QStringLiteral("Orta şekerli"));
    queue(1005, "0", "2");

    // An account customer's table with a dessert for the pass.
    terminal.OpenBill({1006, "1", "7", "C001", {}});
    order(1006, "I05", 2);
    order(1006, "T01", 1);
    order(1006, "B06", 2);
    queue(1006, "0", "1");

    // The returned ayran at table 12 goes back to the bar as a cancellation.
    terminal.Return(1002, {QStringLiteral("B01"), 1, priceOf(QStringLiteral("B01")), {}, 0});
    queue(1002, "2", "2");

    // The checks: table 5 with a discount, service and two payments; the customer's bill; the
    // garden's second sub-account; the slips of tables 5 and 12.
    terminal.SetTotals(1001, {10, 190, 5, 1000, 900.5, 0, 0});
    queue(1001, "1", "1");
    terminal.SetTotals(1006, {0, 0, 0, 0, 0, 1040, 0});
    queue(1006, "1", "1");
    terminal.SetTotals(1003, {0, 0, 0, 0, 1220, 0, 0});
    queue(1003, "3", "3", {}, QStringLiteral("2"), QStringLiteral("Kişi başı"));
    queue(1001, "4", "1");
    terminal.SetTotals(1002, {0, 0, 0, 1300, 0, 0, 0});
    queue(1002, "5", "2", QStringLiteral("G"));
    return jobs;
}

} // namespace DemoRestaurant
