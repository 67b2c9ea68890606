#include "http/AddressKey.h"

#include <QNetworkInterface>
#include <algorithm>

QString AddressKey(const QHostAddress& address) {
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    if (isV4)
        return QHostAddress(v4).toString();
    Q_IPV6ADDR bytes = address.toIPv6Address();
    std::fill(bytes.c + 8, bytes.c + 16, quint8(0));
    return QHostAddress(bytes).toString() + QStringLiteral("/64");
}

bool IsThisMachine(const QHostAddress& address) {
    QList<QHostAddress> own = QNetworkInterface::allAddresses();
    own << QHostAddress(QHostAddress::LocalHost) << QHostAddress(QHostAddress::LocalHostIPv6);
    return std::any_of(own.cbegin(), own.cend(), [&address](const QHostAddress& mine) {
        return mine.isEqual(address, QHostAddress::TolerantConversion);
    });
}
