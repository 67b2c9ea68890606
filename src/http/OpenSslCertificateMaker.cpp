#include "http/CertificateMaker.h"

#include <memory>
#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

namespace {

constexpr int kKeyBits = 2048;
constexpr int kSerialBits = 127;
constexpr long kSecondsPerDay = 24 * 60 * 60;

struct Free {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
    void operator()(X509* certificate) const { X509_free(certificate); }
    void operator()(X509_EXTENSION* extension) const { X509_EXTENSION_free(extension); }
    void operator()(GENERAL_NAMES* names) const { GENERAL_NAMES_free(names); }
    void operator()(BIGNUM* number) const { BN_free(number); }
};
template <typename T> using Owned = std::unique_ptr<T, Free>;

MadeCertificate Failed(const char* step) {
    char reason[256];
    ERR_error_string_n(ERR_get_error(), reason, sizeof reason);
    return {QSslCertificate(), QSslKey(),
            QStringLiteral("%1: %2").arg(QLatin1String(step), QLatin1String(reason))};
}

template <typename T> QByteArray Der(const T* object, int (*encode)(const T*, unsigned char**)) {
    const int size = encode(object, nullptr);
    if (size <= 0)
        return QByteArray();
    QByteArray der(size, Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(der.data());
    encode(object, &out);
    return der;
}

bool AddExtension(X509* certificate, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
    const Owned<X509_EXTENSION> extension(
        X509V3_EXT_conf_nid(nullptr, &context, nid, const_cast<char*>(value)));
    return extension && X509_add_ext(certificate, extension.get(), -1) == 1;
}

// Built name by name rather than from a configuration text, which a host name could extend.
bool AddAlternativeNames(X509* certificate, const CertificateSubject& subject) {
    const Owned<GENERAL_NAMES> names(sk_GENERAL_NAME_new_null());
    const auto add = [&names](int type, const QByteArray& value) {
        ASN1_STRING* text =
            ASN1_STRING_type_new(type == GEN_DNS ? V_ASN1_IA5STRING : V_ASN1_OCTET_STRING);
        GENERAL_NAME* name = GENERAL_NAME_new();
        if (!text || !name || !ASN1_STRING_set(text, value.constData(), int(value.size()))) {
            ASN1_STRING_free(text);
            GENERAL_NAME_free(name);
            return false;
        }
        GENERAL_NAME_set0_value(name, type, text);
        return sk_GENERAL_NAME_push(names.get(), name) > 0;
    };
    for (const QString& host : subject.hostNames) {
        if (!add(GEN_DNS, host.toUtf8()))
            return false;
    }
    for (const QHostAddress& address : subject.addresses) {
        if (!add(GEN_IPADD, AddressBytes(address)))
            return false;
    }
    return X509_add1_ext_i2d(certificate, NID_subject_alt_name, names.get(), 0,
                             X509V3_ADD_DEFAULT) == 1;
}

} // namespace

MadeCertificate MakeCertificate(const CertificateSubject& subject) {
    const Owned<EVP_PKEY> key(EVP_RSA_gen(kKeyBits));
    if (!key)
        return Failed("EVP_RSA_gen");
    const Owned<X509> certificate(X509_new());
    const Owned<BIGNUM> serial(BN_new());
    if (!certificate || !serial || !X509_set_version(certificate.get(), X509_VERSION_3) ||
        !BN_rand(serial.get(), kSerialBits, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY) ||
        !BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(certificate.get())))
        return Failed("X509_new");
    X509_NAME* name = X509_get_subject_name(certificate.get());
    const QByteArray commonName = subject.commonName.toUtf8();
    if (!X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                                    reinterpret_cast<const unsigned char*>(commonName.constData()),
                                    -1, -1, 0) ||
        !X509_set_issuer_name(certificate.get(), name) ||
        !X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -kSecondsPerDay) ||
        !X509_gmtime_adj(X509_getm_notAfter(certificate.get()), subject.days * kSecondsPerDay) ||
        !X509_set_pubkey(certificate.get(), key.get()))
        return Failed("X509_set");
    if (!AddExtension(certificate.get(), NID_key_usage,
                      "critical,digitalSignature,keyEncipherment") ||
        !AddExtension(certificate.get(), NID_ext_key_usage, "serverAuth") ||
        !AddExtension(certificate.get(), NID_subject_key_identifier, "hash") ||
        !AddAlternativeNames(certificate.get(), subject))
        return Failed("X509_add_ext");
    if (X509_sign(certificate.get(), key.get(), EVP_sha256()) <= 0)
        return Failed("X509_sign");
    return {QSslCertificate(Der<X509>(certificate.get(), i2d_X509), QSsl::Der),
            QSslKey(Der<EVP_PKEY>(key.get(), i2d_PrivateKey), QSsl::Rsa, QSsl::Der), QString()};
}
