#include "http/CertificateMaker.h"

#include <QDateTime>
#include <QScopeGuard>
#include <algorithm>
#include <string>
#include <vector>
#include <windows.h>
// Only after windows.h, whose types it uses.
#include <wincrypt.h>

namespace {

constexpr DWORD kKeyBits = 2048;
const BYTE kDerNull[] = {0x05, 0x00};

MadeCertificate Failed(const char* step) {
    return {QSslCertificate(), QSslKey(),
            QStringLiteral("%1: Windows hata kodu 0x%2")
                .arg(QLatin1String(step))
                .arg(GetLastError(), 0, 16)};
}

QByteArray Encoded(LPCSTR type, const void* value) {
    BYTE* out = nullptr;
    DWORD size = 0;
    if (!CryptEncodeObjectEx(X509_ASN_ENCODING, type, value, CRYPT_ENCODE_ALLOC_FLAG, nullptr, &out,
                             &size))
        return QByteArray();
    const QByteArray encoded(reinterpret_cast<const char*>(out), size);
    LocalFree(out);
    return encoded;
}

QByteArray DerLength(qsizetype length) {
    if (length < 0x80)
        return QByteArray(1, char(length));
    QByteArray bytes;
    for (; length > 0; length >>= 8)
        bytes.prepend(char(length & 0xff));
    return char(0x80 | bytes.size()) + bytes;
}

// An ASN.1 INTEGER from the little-endian bytes CryptoAPI exports.
QByteArray DerInteger(const BYTE* littleEndian, DWORD size) {
    QByteArray value(reinterpret_cast<const char*>(littleEndian), qsizetype(size));
    std::reverse(value.begin(), value.end());
    qsizetype start = 0;
    while (start < value.size() - 1 && value.at(start) == 0)
        ++start;
    value = value.mid(start);
    if (static_cast<uchar>(value.at(0)) & 0x80)
        value.prepend('\0');
    return '\x02' + DerLength(value.size()) + value;
}

// The PKCS #1 RSAPrivateKey of a PRIVATEKEYBLOB, which Qt reads; CryptEncodeObjectEx would
// make it too, but not on every Windows that Velmora runs on.
QByteArray RsaPrivateKeyDer(const std::vector<BYTE>& blob) {
    const size_t headers = sizeof(BLOBHEADER) + sizeof(RSAPUBKEY);
    if (blob.size() < headers)
        return QByteArray();
    const auto* rsa = reinterpret_cast<const RSAPUBKEY*>(blob.data() + sizeof(BLOBHEADER));
    const DWORD full = rsa->bitlen / 8;
    const DWORD half = rsa->bitlen / 16;
    if (blob.size() != headers + 2 * full + 5 * half)
        return QByteArray();
    const BYTE* at = blob.data() + headers;
    const auto next = [&at](DWORD size) {
        const QByteArray integer = DerInteger(at, size);
        at += size;
        return integer;
    };
    const QByteArray modulus = next(full);
    const QByteArray prime1 = next(half);
    const QByteArray prime2 = next(half);
    const QByteArray exponent1 = next(half);
    const QByteArray exponent2 = next(half);
    const QByteArray coefficient = next(half);
    const QByteArray privateExponent = next(full);
    const BYTE version = 0;
    const QByteArray body = DerInteger(&version, 1) + modulus +
                            DerInteger(reinterpret_cast<const BYTE*>(&rsa->pubexp), 4) +
                            privateExponent + prime1 + prime2 + exponent1 + exponent2 + coefficient;
    return '\x30' + DerLength(body.size()) + body;
}

SYSTEMTIME SystemTime(const QDateTime& utc) {
    SYSTEMTIME time{};
    time.wYear = WORD(utc.date().year());
    time.wMonth = WORD(utc.date().month());
    time.wDay = WORD(utc.date().day());
    time.wHour = WORD(utc.time().hour());
    time.wMinute = WORD(utc.time().minute());
    time.wSecond = WORD(utc.time().second());
    return time;
}

} // namespace

MadeCertificate MakeCertificate(const CertificateSubject& subject) {
    HCRYPTPROV provider = 0;
    if (!CryptAcquireContextW(&provider, nullptr, MS_ENH_RSA_AES_PROV_W, PROV_RSA_AES,
                              CRYPT_VERIFYCONTEXT))
        return Failed("CryptAcquireContext");
    const auto releaseProvider = qScopeGuard([provider] { CryptReleaseContext(provider, 0); });
    // The signature key, which CertCreateSelfSignCertificate signs with when given no key
    // information; exportable, since the page keeps it in a file of its own.
    HCRYPTKEY key = 0;
    if (!CryptGenKey(provider, AT_SIGNATURE, (kKeyBits << 16) | CRYPT_EXPORTABLE, &key))
        return Failed("CryptGenKey");
    const auto destroyKey = qScopeGuard([key] { CryptDestroyKey(key); });
    DWORD blobSize = 0;
    if (!CryptExportKey(key, 0, PRIVATEKEYBLOB, 0, nullptr, &blobSize))
        return Failed("CryptExportKey");
    std::vector<BYTE> blob(blobSize);
    if (!CryptExportKey(key, 0, PRIVATEKEYBLOB, 0, blob.data(), &blobSize))
        return Failed("CryptExportKey");
    const QByteArray keyDer = RsaPrivateKeyDer(blob);
    SecureZeroMemory(blob.data(), blob.size());

    std::wstring commonName = subject.commonName.toStdWString();
    CERT_RDN_ATTR nameAttribute{
        const_cast<LPSTR>(szOID_COMMON_NAME),
        CERT_RDN_UTF8_STRING,
        {DWORD(commonName.size() * sizeof(wchar_t)), reinterpret_cast<BYTE*>(commonName.data())}};
    CERT_RDN nameRdn{1, &nameAttribute};
    CERT_NAME_INFO nameInfo{1, &nameRdn};
    QByteArray name = Encoded(X509_UNICODE_NAME, &nameInfo);

    LPSTR serverAuth = const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH);
    CERT_ENHKEY_USAGE usage{1, &serverAuth};
    BYTE keyUsageBits = CERT_DIGITAL_SIGNATURE_KEY_USAGE | CERT_KEY_ENCIPHERMENT_KEY_USAGE;
    CRYPT_BIT_BLOB keyUsage{1, &keyUsageBits, 5};
    std::vector<std::wstring> hostNames;
    std::vector<QByteArray> addresses;
    std::vector<CERT_ALT_NAME_ENTRY> alternatives;
    for (const QString& host : subject.hostNames)
        hostNames.push_back(host.toStdWString());
    for (const QHostAddress& address : subject.addresses)
        addresses.push_back(AddressBytes(address));
    for (std::wstring& host : hostNames) {
        CERT_ALT_NAME_ENTRY entry{};
        entry.dwAltNameChoice = CERT_ALT_NAME_DNS_NAME;
        entry.pwszDNSName = host.data();
        alternatives.push_back(entry);
    }
    for (QByteArray& address : addresses) {
        CERT_ALT_NAME_ENTRY entry{};
        entry.dwAltNameChoice = CERT_ALT_NAME_IP_ADDRESS;
        entry.IPAddress = {DWORD(address.size()), reinterpret_cast<BYTE*>(address.data())};
        alternatives.push_back(entry);
    }
    CERT_ALT_NAME_INFO alternativeNames{DWORD(alternatives.size()), alternatives.data()};
    QByteArray usageDer = Encoded(X509_ENHANCED_KEY_USAGE, &usage);
    QByteArray keyUsageDer = Encoded(X509_KEY_USAGE, &keyUsage);
    QByteArray namesDer = Encoded(X509_ALTERNATE_NAME, &alternativeNames);
    if (keyDer.isEmpty() || name.isEmpty() || usageDer.isEmpty() || keyUsageDer.isEmpty() ||
        namesDer.isEmpty())
        return Failed("CryptEncodeObjectEx");
    const auto blobOf = [](QByteArray& bytes) {
        return CRYPT_OBJID_BLOB{DWORD(bytes.size()), reinterpret_cast<BYTE*>(bytes.data())};
    };
    CERT_EXTENSION extensions[] = {
        {const_cast<LPSTR>(szOID_KEY_USAGE), TRUE, blobOf(keyUsageDer)},
        {const_cast<LPSTR>(szOID_ENHANCED_KEY_USAGE), FALSE, blobOf(usageDer)},
        {const_cast<LPSTR>(szOID_SUBJECT_ALT_NAME2), FALSE, blobOf(namesDer)}};
    CERT_EXTENSIONS extensionList{DWORD(std::size(extensions)), extensions};
    CERT_NAME_BLOB subjectName = blobOf(name);
    // With its NULL parameters, as RFC 4055 has them and strict browsers want them.
    CRYPT_ALGORITHM_IDENTIFIER algorithm{const_cast<LPSTR>(szOID_RSA_SHA256RSA),
                                         {sizeof kDerNull, const_cast<BYTE*>(kDerNull)}};
    const QDateTime now = QDateTime::currentDateTimeUtc();
    SYSTEMTIME start = SystemTime(now.addDays(-1));
    SYSTEMTIME end = SystemTime(now.addDays(subject.days));
    PCCERT_CONTEXT certificate = CertCreateSelfSignCertificate(
        provider, &subjectName, 0, nullptr, &algorithm, &start, &end, &extensionList);
    if (!certificate)
        return Failed("CertCreateSelfSignCertificate");
    const QByteArray certificateDer(reinterpret_cast<const char*>(certificate->pbCertEncoded),
                                    qsizetype(certificate->cbCertEncoded));
    CertFreeCertificateContext(certificate);
    return {QSslCertificate(certificateDer, QSsl::Der), QSslKey(keyDer, QSsl::Rsa, QSsl::Der),
            QString()};
}
