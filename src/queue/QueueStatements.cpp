#include "queue/QueueStatements.h"

#include <QStringList>

namespace {

QString joinLines(const QStringList& lines) {
    return lines.join(QLatin1Char('\n'));
}

// The queue statement with the condition that ends its WHERE clause.
QString QueueStatementWhere(const QString& condition) {
    return joinLines({
        QStringLiteral("SELECT"),
        QStringLiteral("K.ID,K.Tur,K.AdisyonID,G.ADI Garson,D.Kodu DeptKodu, D.ADI Departman,"
                       "K.GarsonKodu,MASANO,A.INDORAN,"),
        QStringLiteral("A.INDTOPLAM,A.SERVISORAN,A.SERVISTUTAR,A.TOPLAM,A.FaturaNo,A.FaturaETTN,"),
        QStringLiteral("ParcaliHesap,ParcaliTur,YaziciAdi,A.ALAN,A.ADISYONNO,A.ACIKLAMA"),
        QStringLiteral("FROM A_YazimKuyrugu K"),
        QStringLiteral("LEFT JOIN KESTROVA..[USER] G ON G.KODU=K.GarsonKodu"),
        QStringLiteral("LEFT JOIN A_Adisyon A ON A.ID=K.AdisyonID"),
        QStringLiteral("LEFT JOIN ("),
        QStringLiteral("    SELECT KODU, ADI FROM DEPARTMAN"),
        QStringLiteral("    UNION ALL"),
        QStringLiteral("    SELECT '20' AS KODU, 'Paket Satış' AS ADI"),
        QStringLiteral("    UNION ALL"),
        QStringLiteral("    SELECT '22' AS KODU, 'Hızlı Satış' AS ADI"),
        QStringLiteral(") D ON D.KODU = A.DEPKODU"),
        condition,
        // Without it SQL Server may return the queue in any order.
        QStringLiteral("ORDER BY K.ID"),
    });
}

} // namespace

QString QueueStatement() {
    return QueueStatementWhere(QStringLiteral("WHERE K.AdisyonID IS NOT NULL"));
}

QString OneJobQueueStatement(qint64 jobId) {
    return QueueStatementWhere(QStringLiteral("WHERE K.AdisyonID IS NOT NULL AND K.ID=") +
                               QString::number(jobId));
}

QString LineStatement() {
    return joinLines({
        QStringLiteral("SELECT"),
        QStringLiteral("S.ID,A.DEPKODU,U.ADI,S.ACIKLAMA,S.TUTAR,BIRIM,ADET, H,MUSTERIKODU,"),
        QStringLiteral("ISNULL((SELECT YaziciAdi FROM URUNYAZICI WHERE UrunKodu=KODU AND "
                       "Departman=DEPKODU),YAZICI) YAZICI,"),
        QStringLiteral("ISNULL((SELECT YaziciAdi FROM URUNEKYAZICI WHERE UrunKodu=KODU AND "
                       "Departman=DEPKODU),'') EKYAZICI,"),
        QStringLiteral("ISNULL((SELECT Aciklama FROM URUNEKYAZICI WHERE UrunKodu=KODU AND "
                       "Departman=DEPKODU),'') EKACIKLAMA,"),
        QStringLiteral("A.ONAKIT,A.OKK,A.OACIK,A.OTICKET"),
        QString(),
        QStringLiteral("FROM"),
        QStringLiteral("A_Adisyon A"),
        QStringLiteral("LEFT JOIN"),
        QStringLiteral("(SELECT 'A' I, ID,FISID,URUNKODU,ACIKLAMA,TUTAR,ADET,SIP,YAZ,H FROM "
                       "A_AdsSatir"),
        QStringLiteral("UNION"),
        QStringLiteral("SELECT  'I' I,ID,FISID,URUNKODU,ACIKLAMA,TUTAR,ADET,SIP,YAZ,H FROM "
                       "A_AdsIade"),
        QStringLiteral(") S ON A.ID=S.FISID"),
        QStringLiteral("LEFT JOIN URUN U ON U.KODU=URUNKODU"),
        QStringLiteral("WHERE SIP= :SIP AND FISID= :ID AND YAZ= :YAZ AND S.I= :IADE"),
    });
}

QString AuxiliaryStatement() {
    return joinLines({
        QStringLiteral("SELECT "),
        QStringLiteral("U.ADI,ACIKLAMA,TUTAR "),
        QStringLiteral("FROM A_AdsSatir"),
        QStringLiteral("LEFT JOIN URUN U ON U.KODU=URUNKODU"),
        QStringLiteral("WHERE SIP= :SIP AND FISID= :ID"),
    });
}

QString DeleteJobStatement(qint64 jobId) {
    // jobId is an integer: its decimal text is all the statement receives.
    return QStringLiteral("DELETE FROM A_YazimKuyrugu WHERE ID=") + QString::number(jobId);
}

QString DeleteOrphanJobsStatement() {
    return QStringLiteral("DELETE FROM A_YazimKuyrugu WHERE AdisyonID IS NULL");
}

QString QueueChangeStatement(DatabaseProduct product) {
    if (product == DatabaseProduct::Sqlite)
        return QStringLiteral("PRAGMA data_version");
    return QStringLiteral("SELECT MAX(ID) SonID, COUNT(*) Sayi FROM A_YazimKuyrugu");
}
