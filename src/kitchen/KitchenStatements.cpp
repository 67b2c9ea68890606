#include "kitchen/KitchenStatements.h"

#include "db/SqlLiteral.h"

#include <QStringList>

QString ExtraLineStatement() {
    return QStringList{
        QStringLiteral("SELECT"),
        QStringLiteral("S.ID,A.DEPKODU,U.ADI,S.ACIKLAMA,S.TUTAR,BIRIM,ADET, H,EKYAZ,"),
        QStringLiteral("ISNULL((SELECT YaziciAdi FROM URUNYAZICI WHERE UrunKodu=KODU AND "
                       "Departman=DEPKODU),YAZICI) YAZICI,"),
        QStringLiteral("ISNULL((SELECT YaziciAdi FROM URUNEKYAZICI WHERE UrunKodu=KODU AND "
                       "Departman=DEPKODU),'') EKYAZICI,"),
        QStringLiteral("ISNULL((SELECT Aciklama FROM URUNEKYAZICI WHERE UrunKodu=KODU AND "
                       "Departman=DEPKODU),'') EKACIKLAMA"),
        QString(),
        QStringLiteral("FROM"),
        QStringLiteral("A_Adisyon A"),
        QStringLiteral("LEFT JOIN"),
        QStringLiteral("(SELECT 'A' I, ID,FISID,URUNKODU,ACIKLAMA,TUTAR,ADET,SIP,YAZ,H,EKYAZ FROM "
                       "A_AdsSatir"),
        QStringLiteral("UNION"),
        QStringLiteral("SELECT  'I' I,ID,FISID,URUNKODU,ACIKLAMA,TUTAR,ADET,SIP,YAZ,H,EKYAZ FROM "
                       "A_AdsIade"),
        QStringLiteral(") S ON A.ID=S.FISID"),
        QStringLiteral("LEFT JOIN URUN U ON U.KODU=URUNKODU"),
        QStringLiteral("WHERE SIP= :SIP AND FISID= :ID AND EKYAZ= :YAZ AND S.I= :IADE"),
    }
        .join(QLatin1Char('\n'));
}

QString ProductionPrinterStatement(const QString& departmentCode, const QString& jobType,
                                   qint64 billId) {
    const QString department = SqlStringLiteral(departmentCode);
    QString text =
        QStringLiteral("SELECT DISTINCT ISNULL((SELECT YaziciAdi FROM URUNYAZICI WHERE "
                       "UrunKodu=KODU AND Departman=") +
        department +
        QStringLiteral("),YAZICI) YAZICI,ISNULL((SELECT YaziciAdi FROM URUNEKYAZICI WHERE "
                       "UrunKodu=KODU AND Departman=") +
        department +
        QStringLiteral("),'' ) EKYAZICI FROM URUN WHERE KODU IN (SELECT URUNKODU FROM ");
    text += QLatin1Char('\n');
    // billId is an integer, so its decimal text cannot carry anything but digits.
    if (jobType == QLatin1String("0"))
        text += QStringLiteral("A_AdsSatir WHERE SIP=0 AND YAZ=0 AND ADET>0 AND FISID=");
    else
        text += QStringLiteral("A_AdsIade WHERE YAZ=0 AND ADET>0 AND FISID=");
    return text + QString::number(billId) + QLatin1Char(')');
}

QString MarkLinesStatement(const QString& flagColumn, const QString& jobType,
                           const QString& tableNumber, const QList<qint64>& lineIds) {
    // Concatenated values: the line IDs are integers and the flag column is one of the two
    // names the kitchen tickets pass; nothing read as text reaches this statement.
    QStringList ids;
    for (const qint64 id : lineIds)
        ids << QString::number(id);
    QString text;
    if (jobType == QLatin1String("2")) {
        text = QStringLiteral("UPDATE A_AdsIade SET SIP=1,") + flagColumn + QStringLiteral("=1");
    } else {
        const QString value =
            tableNumber == QLatin1String("ZH") ? QStringLiteral("0") : QStringLiteral("1");
        text =
            QStringLiteral("UPDATE A_AdsSatir SET SIP=1,") + flagColumn + QLatin1Char('=') + value;
    }
    return text + QStringLiteral(" WHERE ID IN (") + ids.join(QLatin1Char(',')) + QLatin1Char(')');
}
