#include "support/BillJobRunner.h"
#include "support/QStringPrinter.h"

#include <QMap>
#include <gtest/gtest.h>
#include <iostream>

namespace {

const QString Sql = QStringLiteral("'; DROP TABLE A_AdsSatir; --");
const QString Quotes = QStringLiteral("O'Brien \"Usta\" ''");
const QString Control = QStringLiteral("Acı\tsos\x01 \x1b[1mkalın\nalt satır\x7f");
const QString Long = QStringLiteral("Karışık ızgara tabağı ").repeated(20).left(300);

// What the terminals stored, with every value bound rather than written into the statement.
void Insert(TestDatabase& db, const QString& table, const QStringList& columns,
            const QVariantList& values) {
    QStringList names;
    SqlParameters parameters;
    for (int i = 0; i < columns.size(); ++i) {
        names << QLatin1Char(':') + columns[i];
        parameters.append({columns[i], values[i]});
    }
    db.session().ExecuteWithParameters(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(table, columns.join(QLatin1Char(',')), names.join(QLatin1Char(','))),
        parameters);
}

// Every table the server must not change, row by row; the line flags and the queue are what
// it does change, and AYAR gains the defaults it reads.
QStringList Snapshot(TestDatabase& db) {
    QStringList dump;
    const QMap<QString, QString> tables{{"A_AdsSatir", "ID,FISID,URUNKODU,ACIKLAMA,TUTAR,ADET,H"},
                                        {"A_AdsIade", "ID,FISID,URUNKODU,ACIKLAMA,TUTAR,ADET,H"},
                                        {"A_Adisyon", "*"},
                                        {"URUN", "*"},
                                        {"URUNYAZICI", "*"},
                                        {"URUNEKYAZICI", "*"},
                                        {"DEPARTMAN", "*"},
                                        {"[USER]", "*"},
                                        {"A_Yazicilar", "*"},
                                        {"MUSTERI", "*"},
                                        {"MUSTISL", "*"},
                                        {"sqlite_master", "type,name"}};
    for (auto table = tables.begin(); table != tables.end(); ++table) {
        RecordSet rows = db.session().Select(
            QStringLiteral("SELECT %1 FROM %2 ORDER BY 1").arg(table.value(), table.key()));
        for (rows.First(); !rows.Eof(); rows.Next()) {
            QStringList values{table.key()};
            for (const QString& column : rows.columns())
                values << rows.text(column);
            dump << values.join(QLatin1Char('|'));
        }
    }
    return dump;
}

// Names, notes, codes and numbers holding quotes, markup prefixes, a 300-character name,
// control characters and SQL go through every kind of job.
class HostileTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        Insert(db, QStringLiteral("DEPARTMAN"), {"KODU", "ADI"}, {"D'1", Sql});
        Insert(db, QStringLiteral("[USER]"), {"KODU", "ADI"}, {"G'1", "@BAli"});
        Insert(db, QStringLiteral("MUSTERI"), {"KODU", "UNVAN"}, {Sql, Quotes});
        Insert(db, QStringLiteral("A_Yazicilar"), {"Adi", "Yol"}, {Sql, "MUTFAK-1"});
        Insert(db, QStringLiteral("A_Yazicilar"), {"Adi", "Yol"}, {Quotes, "IZGARA-1"});
        Insert(db, QStringLiteral("A_Yazicilar"), {"Adi", "Yol"}, {"Adisyon", "KASA-1"});
        const QVariantList products[] = {
            {"S'1", Sql, Sql}, {"Q'1", Quotes, Sql}, {"L'1", Long, Sql}, {"C'1", Control, Sql}};
        for (const QVariantList& product : products)
            Insert(db, QStringLiteral("URUN"), {"KODU", "ADI", "YAZICI"}, product);
        Insert(db, QStringLiteral("URUNEKYAZICI"),
               {"UrunKodu", "Departman", "YaziciAdi", "Aciklama"}, {"S'1", "D'1", Quotes, Sql});
        Insert(db, QStringLiteral("A_Adisyon"),
               {"ID", "DEPKODU", "MASANO", "MUSTERIKODU", "ACIKLAMA", "TOPLAM", "FaturaNo",
                "FaturaETTN", "ALAN", "ADISYONNO"},
               {302, "D'1", "=-5", Sql, "=-not", 40, Sql, "#-ettn", "=-alan", Quotes});
        const QVariantList lines[] = {
            {"S'1", "#-ACİL"}, {"Q'1", "=-- az tuzlu --"}, {"L'1", ">-sağa"},      {"C'1", "@B123"},
            {"S'1", Sql},      {"Q'1", Control},           {"Q'1", "%*2 porsiyon"}};
        for (const QVariantList& line : lines) {
            Insert(db, QStringLiteral("A_AdsSatir"),
                   {"FISID", "URUNKODU", "ACIKLAMA", "TUTAR", "ADET", "H"},
                   {302, line[0], line[1], 10, 1, 1});
        }
        Insert(db, QStringLiteral("A_AdsIade"),
               {"FISID", "URUNKODU", "ACIKLAMA", "TUTAR", "ADET", "SIP"},
               {302, "S'1", Sql, 10, 1, 1});
        runner.LoadPrinters();
        runner.options.customerFlag = true;
    }

    void queue(const QString& type, const QVariant& subAccount = QVariant()) {
        Insert(db, QStringLiteral("A_YazimKuyrugu"),
               {"Tur", "AdisyonID", "GarsonKodu", "ParcaliHesap", "ParcaliTur"},
               {type, 302, "G'1", subAccount, Quotes});
    }

    // Whether the value is drawn unchanged in a ticket printed to the end on that printer, a
    // text that begins like a markup prefix too.
    bool printedVerbatim(const QString& path, const QString& value) {
        const RecordingPrinterSource& printers = runner.printer().printers();
        for (int i = 0; i < printers.documentCount(); ++i) {
            const RecordedDocument& document = printers.document(i);
            if (document.path != path || !document.ended || document.aborted)
                continue;
            for (const QString& line : document.lines) {
                if (line.contains(value))
                    return drawnWithin(document, value);
            }
        }
        return false;
    }

    // A text wider than the paper is drawn row after row, which together give it whole.
    static bool drawnWithin(const RecordedDocument& document, const QString& value) {
        return document.drawnTexts().join(QString()).contains(value);
    }

    TestDatabase db;
    BillJobRunner runner{db, {"KASA-1", "MUTFAK-1", "IZGARA-1"}};
};

TEST_F(HostileTextTest, PrintsVerbatimAndChangesNothingElse) {
    const QStringList before = Snapshot(db);
    for (const char* type : {"0", "2", "1", "4", "5"})
        queue(QString::fromLatin1(type));
    queue(QStringLiteral("3"), QStringLiteral("1' OR '1'='1"));
    const int jobs = db.count(QStringLiteral("A_YazimKuyrugu"));
    for (int tick = 0; tick < jobs; ++tick)
        runner.Tick();

    EXPECT_EQ(db.count(QStringLiteral("A_YazimKuyrugu")), 0);
    EXPECT_EQ(Snapshot(db), before);
    EXPECT_EQ(db.count(QStringLiteral("A_AdsSatir"), QStringLiteral("SIP=1 AND YAZ=1")), 7);
    EXPECT_EQ(db.count(QStringLiteral("A_AdsSatir"), QStringLiteral("EKYAZ=1")), 2);
    EXPECT_EQ(db.count(QStringLiteral("A_AdsIade"), QStringLiteral("YAZ=1 AND EKYAZ=1")), 1);

    const QString kitchen = QStringLiteral("MUTFAK-1");
    const QString bills = QStringLiteral("KASA-1");
    const QList<QPair<QString, QString>> verbatim{{kitchen, Sql},
                                                  {kitchen, Quotes},
                                                  {kitchen, Long},
                                                  {kitchen, Control},
                                                  {kitchen, "#-ACİL"},
                                                  {kitchen, "=-- az tuzlu --"},
                                                  {kitchen, ">-sağa"},
                                                  {kitchen, "@B123"},
                                                  {kitchen, "%*2 porsiyon"},
                                                  {kitchen, "@BAli"},
                                                  {kitchen, "=-not"},
                                                  {kitchen, "=-5"},
                                                  {"IZGARA-1", Sql},
                                                  {bills, Long},
                                                  {bills, Control},
                                                  {bills, "#-ACİL"},
                                                  {bills, "=-- az tuzlu --"},
                                                  {bills, ">-sağa"},
                                                  {bills, "@B123"},
                                                  {bills, "%*2 porsiyon"},
                                                  {bills, Quotes},
                                                  {bills, Sql},
                                                  {bills, "#-ettn"},
                                                  {bills, "=-alan"},
                                                  {bills, "Hesap : 1' OR '1'='1, " + Quotes}};
    int missing = 0;
    for (const auto& [path, value] : verbatim) {
        const bool found = printedVerbatim(path, value);
        EXPECT_TRUE(found) << path.toStdString() << ": " << value.toStdString();
        missing += found ? 0 : 1;
    }
    std::cout << "hostile text: " << jobs << " jobs, " << verbatim.size() << " texts checked, "
              << missing << " not printed verbatim, database otherwise unchanged\n";
}

} // namespace
