#pragma once

#include <QHostAddress>
#include <QString>

// One client as the status page counts it: an IPv4 address, or the /64 of an IPv6 address,
// since a single host may take any address in it.
QString AddressKey(const QHostAddress& address);
