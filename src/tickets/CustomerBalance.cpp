#include "tickets/CustomerBalance.h"

#include "core/CurrencyValue.h"
#include "db/Query.h"
#include "db/SqlLiteral.h"

QString CustomerBalanceStatement(const QString& code) {
    // The code reaches the statement only as an SQL string literal.
    return QStringLiteral("SELECT   MUSTERI.KODU , MUSTERI.UNVAN, SUM(MUSTISL.ALACAK)-"
                          "SUM(MUSTISL.BORC) AS BAKIYE FROM  MUSTERI LEFT OUTER JOIN MUSTISL "
                          "ON MUSTISL.KODU = MUSTERI.KODU WHERE MUSTERI.KODU=") +
           SqlStringLiteral(code) + QStringLiteral(" GROUP BY MUSTERI.KODU, MUSTERI.UNVAN");
}

void GetCustomerBalance(Query& X, const QString& code, QString& name, qint64& balance) {
    name.clear();
    X.Close();
    X.setSql(CustomerBalanceStatement(code));
    X.Open();
    if (X.isEmpty())
        return;
    X.First();
    name = X.text(QStringLiteral("UNVAN"));
    balance = CurrencyFromVariant(X.value(QStringLiteral("BAKIYE")));
}
