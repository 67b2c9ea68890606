#include "tickets/Ean13.h"

int Ean13CheckDigit(const QString& data) {
    int sum = 0;
    for (int i = 0; i < 12 && i < data.size(); ++i) {
        const QChar c = data.at(i);
        const int digit = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - '0' : 0;
        sum += (i % 2 == 0) ? digit : 3 * digit;
    }
    const int remainder = sum % 10;
    return remainder == 0 ? 0 : 10 - remainder;
}

QString Ean13Text(const QString& number) {
    const QString data =
        number.size() < 12 ? number.rightJustified(12, QLatin1Char('0')) : number.left(12);
    return data + QString::number(Ean13CheckDigit(data));
}
