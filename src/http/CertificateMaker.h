#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QStringList>

// A TLS server as its certificate names it: the names and addresses a browser may reach it at.
struct CertificateSubject {
    QString commonName;
    QStringList hostNames;
    QList<QHostAddress> addresses;
    int days = 0; // from a day ago, so that a clock running a little behind accepts it
};

struct MadeCertificate {
    QSslCertificate certificate;
    QSslKey key;
    QString error; // why none was made
};

// A new 2048-bit RSA key and a certificate for the subject signed by that key with SHA-256,
// good for a TLS server. Qt can make neither; each platform's file makes them with that
// platform's own cryptography (OpenSSL's libcrypto, which Qt's TLS uses there too, or Windows'
// CryptoAPI), and src/CMakeLists.txt builds the one that fits.
MadeCertificate MakeCertificate(const CertificateSubject& subject);

// An address as a certificate holds it: 4 or 16 bytes in network order.
inline QByteArray AddressBytes(const QHostAddress& address) {
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    if (isV4) {
        const char bytes[] = {char(v4 >> 24), char(v4 >> 16), char(v4 >> 8), char(v4)};
        return QByteArray(bytes, sizeof bytes);
    }
    const Q_IPV6ADDR v6 = address.toIPv6Address();
    return QByteArray(reinterpret_cast<const char*>(v6.c), 16);
}
