#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

// One client as the status page counts it: an IPv4 address, or the /64 of an IPv6 address,
// since a single host may take any address in it.
QString AddressKey(const QHostAddress& address);

// This machine's own addresses, the loopback's 127.0.0.1 and ::1 included.
QList<QHostAddress> ThisMachinesAddresses();
