#pragma once

#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QString>

// The certificate and private key a TLS server shows, read from PEM files or made for this
// machine, with the SHA-256 fingerprint by which a browser's user tells the certificate is
// this one. A made certificate names this machine's host name and addresses, as they are when
// it is made, and serves kValidDays (the longest phones accept); it is made again once fewer
// than kRenewDays are left. The key file is written readable by its owner alone.
class TlsIdentity {
public:
    static constexpr int kValidDays = 825;
    static constexpr int kRenewDays = 30;

    // The owner's own pair; an error, in the log's words, when either cannot be read.
    static TlsIdentity Read(const QString& certificateFile, const QString& keyFile);
    // The pair kept in the files, made first when they are missing, unreadable or ending.
    static TlsIdentity ReadOrMake(const QString& certificateFile, const QString& keyFile);

    const QString& error() const { return m_error; }
    // Whether this start made it: its fingerprint is a new one.
    bool made() const { return m_made; }
    QSslConfiguration configuration() const;
    // "AB:CD:..." as browsers show it.
    QString fingerprint() const;

private:
    static TlsIdentity Failed(QString error);

    QSslCertificate m_certificate;
    QSslKey m_key;
    QString m_error;
    bool m_made = false;
};
