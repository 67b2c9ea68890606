#include "terminal/Terminal.h"

#include "core/Error.h"
#include "db/DatabaseSession.h"

#include <QUuid>

namespace {

QVariant textOrNull(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

// The e-adisyon's ETTN: a stable identifier per bill, as the e-adisyon service would give.
QString eadisyonUuid(qint64 billId) {
    return QUuid::createUuidV5(QUuid(QStringLiteral("{6f1c2e0a-3b4d-4c5e-8f90-1a2b3c4d5e6f}")),
                               QString::number(billId))
        .toString(QUuid::WithoutBraces);
}

} // namespace

Terminal::Terminal(DatabaseSession& session)
    : m_session(session) {}

void Terminal::OpenBill(const Bill& bill) {
    m_session.ExecuteWithParameters(
        QStringLiteral("INSERT INTO A_Adisyon (ID, DEPKODU, MASANO, MUSTERIKODU, ACIKLAMA, "
                       "ADISYONNO, ALAN) VALUES (:ID, :DEPKODU, :MASANO, :MUSTERIKODU, "
                       ":ACIKLAMA, :ADISYONNO, :ALAN)"),
        {{QStringLiteral("ID"), bill.id},
         {QStringLiteral("DEPKODU"), bill.department},
         {QStringLiteral("MASANO"), bill.table},
         {QStringLiteral("MUSTERIKODU"), textOrNull(bill.customerCode)},
         {QStringLiteral("ACIKLAMA"), textOrNull(bill.note)},
         {QStringLiteral("ADISYONNO"),
          QStringLiteral("VLM2026%1").arg(bill.id, 9, 10, QLatin1Char('0'))},
         {QStringLiteral("ALAN"), eadisyonUuid(bill.id)}});
}

qint64 Terminal::Order(qint64 billId, const Line& line) {
    return insertLine(QStringLiteral("A_AdsSatir"), billId, line, false);
}

qint64 Terminal::Return(qint64 billId, const Line& line) {
    return insertLine(QStringLiteral("A_AdsIade"), billId, line, true);
}

qint64 Terminal::insertLine(const QString& table, qint64 billId, const Line& line,
                            bool alreadySent) {
    RecordSet product = m_session.Select(QStringLiteral("SELECT KODU FROM URUN WHERE KODU = :KODU"),
                                         {{QStringLiteral("KODU"), line.product}});
    if (product.isEmpty())
        throw Error(QStringLiteral("Urun bulunamadi: ") + line.product);
    m_session.ExecuteWithParameters(
        QStringLiteral("INSERT INTO ") + table +
            QStringLiteral(" (FISID, URUNKODU, ACIKLAMA, TUTAR, ADET, SIP, YAZ, EKYAZ, H) "
                           "VALUES (:FISID, :URUNKODU, :ACIKLAMA, :TUTAR, :ADET, :SIP, 0, 0, :H)"),
        {{QStringLiteral("FISID"), billId},
         {QStringLiteral("URUNKODU"), line.product},
         {QStringLiteral("ACIKLAMA"), textOrNull(line.note)},
         {QStringLiteral("TUTAR"), line.amount},
         {QStringLiteral("ADET"), line.quantity},
         {QStringLiteral("SIP"), alreadySent},
         {QStringLiteral("H"), line.subAccount}});
    return lastId(table);
}

void Terminal::SetTotals(qint64 billId, const Totals& totals) {
    RecordSet sum = m_session.Select(
        QStringLiteral("SELECT SUM(TUTAR) AS TOPLAM FROM A_AdsSatir WHERE FISID = :FISID"),
        {{QStringLiteral("FISID"), billId}});
    sum.First();
    const double lines = sum.number(QStringLiteral("TOPLAM"));
    const double service = (lines - totals.discount) * totals.serviceRate / 100.0;
    m_session.ExecuteWithParameters(
        QStringLiteral("UPDATE A_Adisyon SET INDORAN = :INDORAN, INDTOPLAM = :INDTOPLAM, "
                       "SERVISORAN = :SERVISORAN, SERVISTUTAR = :SERVISTUTAR, TOPLAM = :TOPLAM, "
                       "ONAKIT = :ONAKIT, OKK = :OKK, OACIK = :OACIK, OTICKET = :OTICKET "
                       "WHERE ID = :ID"),
        {{QStringLiteral("INDORAN"), totals.discountRate},
         {QStringLiteral("INDTOPLAM"), totals.discount},
         {QStringLiteral("SERVISORAN"), totals.serviceRate},
         {QStringLiteral("SERVISTUTAR"), service},
         {QStringLiteral("TOPLAM"), lines - totals.discount + service},
         {QStringLiteral("ONAKIT"), totals.cash},
         {QStringLiteral("OKK"), totals.card},
         {QStringLiteral("OACIK"), totals.account},
         {QStringLiteral("OTICKET"), totals.ticket},
         {QStringLiteral("ID"), billId}});
}

qint64 Terminal::Queue(const Job& job) {
    m_session.ExecuteWithParameters(
        QStringLiteral("INSERT INTO A_YazimKuyrugu (Tur, AdisyonID, GarsonKodu, YaziciAdi, "
                       "ParcaliHesap, ParcaliTur) VALUES (:Tur, :AdisyonID, :GarsonKodu, "
                       ":YaziciAdi, :ParcaliHesap, :ParcaliTur)"),
        {{QStringLiteral("Tur"), job.type},
         {QStringLiteral("AdisyonID"), job.billId},
         {QStringLiteral("GarsonKodu"), textOrNull(job.waiterCode)},
         {QStringLiteral("YaziciAdi"), textOrNull(job.printerName)},
         {QStringLiteral("ParcaliHesap"), textOrNull(job.subAccount)},
         {QStringLiteral("ParcaliTur"), textOrNull(job.splitKind)}});
    return lastId(QStringLiteral("A_YazimKuyrugu"));
}

qint64 Terminal::lastId(const QString& table) {
    // A terminal is the only writer it knows of; the key it just inserted is the largest.
    RecordSet id = m_session.Select(QStringLiteral("SELECT MAX(ID) AS ID FROM ") + table);
    id.First();
    return id.value(QStringLiteral("ID")).toLongLong();
}
