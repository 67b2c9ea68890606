#include "support/SampleTickets.h"

#include <QStringList>

Ticket SampleBill(int lineCount) {
    const Ticket header{
        QStringLiteral("#-ÇINAR LOKANTASI"),
        QStringLiteral("#TARIH# #SAAT#"),
        QStringLiteral("Masa: 12 Garson: Ayşe"),
        QStringLiteral("=-"),
    };
    const Ticket footer{
        QStringLiteral("=-"),
        QStringLiteral("Ara Toplam"),
        QStringLiteral(">-312,5"),
        QStringLiteral("#-TOPLAM: 312,5"),
        QString(),
        QStringLiteral("@B0000000003025"),
        QString(),
    };
    const Ticket items{
        QStringLiteral("2   Çay"), QStringLiteral(">-20"),          QStringLiteral("1   İskender"),
        QStringLiteral(">-250"),   QStringLiteral("3   Şiş Köfte"), QStringLiteral(">-42,5"),
    };

    Ticket bill = header + items;
    for (int i = 0; bill.size() + footer.size() < lineCount; ++i)
        bill.append(items.at(i % items.size()));
    return bill + footer;
}
