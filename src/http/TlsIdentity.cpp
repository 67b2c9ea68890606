#include "http/TlsIdentity.h"

#include "http/CertificateMaker.h"

#include <QFile>
#include <QNetworkInterface>
#include <QSslSocket>
#include <QSysInfo>

namespace {

QByteArray ReadFile(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = path + QStringLiteral(": ") + file.errorString();
        return QByteArray();
    }
    return file.readAll();
}

QString WriteFile(const QString& path, const QByteArray& content, QFileDevice::Permissions mode) {
    QFile file(path);
    // Created with its permissions, so that the key is never readable by others for a moment.
    if (file.exists() && !file.remove())
        return path + QStringLiteral(": ") + file.errorString();
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, mode) ||
        file.write(content) != content.size() || !file.flush())
        return path + QStringLiteral(": ") + file.errorString();
    return QString();
}

CertificateSubject ThisMachine() {
    CertificateSubject subject;
    const QString host = QSysInfo::machineHostName();
    subject.commonName = QStringLiteral("Velmora ") + host;
    subject.hostNames = {host, QStringLiteral("localhost")};
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (!address.isLinkLocal())
            subject.addresses.append(address);
    }
    subject.days = TlsIdentity::kValidDays;
    return subject;
}

} // namespace

TlsIdentity TlsIdentity::Read(const QString& certificateFile, const QString& keyFile) {
    if (certificateFile.isEmpty() || keyFile.isEmpty())
        return Failed(QStringLiteral("Sertifika= ile Anahtar= birlikte verilmeli"));
    QString error;
    const QByteArray certificatePem = ReadFile(certificateFile, error);
    const QByteArray keyPem = error.isEmpty() ? ReadFile(keyFile, error) : QByteArray();
    if (!error.isEmpty())
        return Failed(QStringLiteral("Sertifika okunamadi -- ") + error);
    TlsIdentity identity;
    identity.m_certificate = QSslCertificate(certificatePem);
    if (identity.m_certificate.isNull())
        return Failed(QStringLiteral("Sertifika okunamadi -- ") + certificateFile +
                      QStringLiteral(": PEM bir sertifika degil"));
    identity.m_key = QSslKey(keyPem, QSsl::Rsa);
    if (identity.m_key.isNull())
        identity.m_key = QSslKey(keyPem, QSsl::Ec);
    if (identity.m_key.isNull())
        return Failed(QStringLiteral("Anahtar okunamadi -- ") + keyFile +
                      QStringLiteral(": sifresiz PEM bir RSA ya da EC anahtari olmali"));
    return identity;
}

TlsIdentity TlsIdentity::ReadOrMake(const QString& certificateFile, const QString& keyFile) {
    const TlsIdentity kept = Read(certificateFile, keyFile);
    const QDateTime renewal = QDateTime::currentDateTimeUtc().addDays(kRenewDays);
    if (kept.m_error.isEmpty() && kept.m_certificate.expiryDate() > renewal)
        return kept;
    if (!QSslSocket::supportsSsl())
        return Failed(QStringLiteral("Sertifika yapilamadi -- TLS kutuphanesi yuklenemedi: ") +
                      QSslSocket::sslLibraryBuildVersionString());
    const MadeCertificate made = MakeCertificate(ThisMachine());
    if (!made.error.isEmpty())
        return Failed(QStringLiteral("Sertifika yapilamadi -- ") + made.error);
    if (made.certificate.isNull() || made.key.isNull())
        return Failed(QStringLiteral("Sertifika yapilamadi -- Qt yapilani okuyamadi"));
    QString error =
        WriteFile(keyFile, made.key.toPem(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (error.isEmpty()) {
        error = WriteFile(certificateFile, made.certificate.toPem(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }
    if (!error.isEmpty())
        return Failed(QStringLiteral("Sertifika yazilamadi -- ") + error);
    TlsIdentity identity;
    identity.m_certificate = made.certificate;
    identity.m_key = made.key;
    identity.m_made = true;
    return identity;
}

QSslConfiguration TlsIdentity::configuration() const {
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(m_certificate);
    configuration.setPrivateKey(m_key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    return configuration;
}

QString TlsIdentity::fingerprint() const {
    return QString::fromLatin1(m_certificate.digest(QCryptographicHash::Sha256).toHex(':'))
        .toUpper();
}

TlsIdentity TlsIdentity::Failed(QString error) {
    TlsIdentity identity;
    identity.m_error = std::move(error);
    return identity;
}
