#include "support/RatesFixture.h"

namespace {

QString CurrencyEntry(const QString& code, const QString& turkishName, const QString& name,
                      const QString& banknoteBuying) {
    return QStringLiteral("\t<Currency Kod=\"%1\" CurrencyCode=\"%1\">\n"
                          "\t\t<Unit>1</Unit>\n"
                          "\t\t<Isim>%2</Isim>\n"
                          "\t\t<CurrencyName>%3</CurrencyName>\n"
                          "\t\t<ForexBuying>1.2345</ForexBuying>\n"
                          "\t\t<ForexSelling>1.3456</ForexSelling>\n"
                          "\t\t<BanknoteBuying>%4</BanknoteBuying>\n"
                          "\t\t<BanknoteSelling>1.4567</BanknoteSelling>\n"
                          "\t\t<CrossRateUSD/>\n"
                          "\t\t<CrossRateOther/>\n"
                          "\t</Currency>\n")
        .arg(code, turkishName, name, banknoteBuying);
}

} // namespace

QString RatesXml(const QString& usdBanknoteBuying, const QString& eurBanknoteBuying) {
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Tarih_Date>\n") +
           CurrencyEntry(QStringLiteral("USD"), QStringLiteral("ABD DOLARI"),
                         QStringLiteral("US DOLLAR"), usdBanknoteBuying) +
           CurrencyEntry(QStringLiteral("DKK"), QStringLiteral("DANİMARKA KRONU"),
                         QStringLiteral("DANISH KRONE"), QStringLiteral("6.4105")) +
           CurrencyEntry(QStringLiteral("EUR"), QStringLiteral("EURO"), QStringLiteral("EURO"),
                         eurBanknoteBuying) +
           QStringLiteral("</Tarih_Date>\n");
}
