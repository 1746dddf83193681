#include "testca.h"

#include <QFile>

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace {

using KeyPtr = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using CertPtr = std::unique_ptr<X509, decltype(&X509_free)>;

constexpr long day = 24 * 3600;

KeyPtr newKey()
{
    return KeyPtr(EVP_EC_gen("P-256"), &EVP_PKEY_free);
}

bool addExtension(X509* cert, X509* issuer, int nid, const char* value)
{
    X509V3_CTX ctx;
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_nconf_nid(nullptr, &ctx, nid, value);
    if (!ext)
        return false;
    const bool added = X509_add_ext(cert, ext, -1) == 1;
    X509_EXTENSION_free(ext);
    return added;
}

struct CertSpec {
    const char* commonName;
    const char* altNames;  // nullptr: an authority
    long notBefore;        // seconds from now
    long notAfter;
};

// Makes a certificate for key, signed by issuerKey under issuer (itself when null).
CertPtr makeCertificate(const CertSpec& spec, EVP_PKEY* key, X509* issuer, EVP_PKEY* issuerKey)
{
    CertPtr cert(X509_new(), &X509_free);
    if (!cert)
        return cert;
    X509* x = cert.get();
    unsigned char serial[8];
    RAND_bytes(serial, sizeof serial);
    serial[0] &= 0x7f;
    BIGNUM* bn = BN_bin2bn(serial, sizeof serial, nullptr);
    BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(x));
    BN_free(bn);
    X509_set_version(x, 2);
    X509_gmtime_adj(X509_getm_notBefore(x), spec.notBefore);
    X509_gmtime_adj(X509_getm_notAfter(x), spec.notAfter);
    X509_set_pubkey(x, key);
    X509_NAME* name = X509_get_subject_name(x);
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("VantroQo test"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(spec.commonName), -1, -1, 0);
    X509* signer = issuer ? issuer : x;
    X509_set_issuer_name(x, X509_get_subject_name(signer));
    bool ok = addExtension(x, signer, NID_subject_key_identifier, "hash");
    if (spec.altNames) {
        ok = ok && addExtension(x, signer, NID_basic_constraints, "critical,CA:FALSE")
             && addExtension(x, signer, NID_key_usage, "critical,digitalSignature")
             && addExtension(x, signer, NID_ext_key_usage, "serverAuth")
             && addExtension(x, signer, NID_subject_alt_name, spec.altNames);
    } else {
        ok = ok && addExtension(x, signer, NID_basic_constraints, "critical,CA:TRUE")
             && addExtension(x, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    }
    if (issuer)
        ok = ok && addExtension(x, signer, NID_authority_key_identifier, "keyid");
    if (!ok || X509_sign(x, issuerKey ? issuerKey : key, EVP_sha256()) == 0)
        cert.reset();
    return cert;
}

QByteArray bioText(BIO* bio)
{
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    QByteArray text(data, int(size));
    BIO_free(bio);
    return text;
}

QByteArray certificatePem(X509* cert)
{
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(bio, cert);
    return bioText(bio);
}

QByteArray keyPem(EVP_PKEY* key)
{
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr);
    return bioText(bio);
}

constexpr const char* loopbackNames = "IP:127.0.0.1,DNS:127.0.0.1,DNS:localhost";

TestCa::Leaf makeLeaf(const CertSpec& spec, X509* issuer, EVP_PKEY* issuerKey)
{
    KeyPtr key = newKey();
    if (!key)
        return {};
    CertPtr cert = makeCertificate(spec, key.get(), issuer, issuerKey);
    if (!cert)
        return {};
    return {certificatePem(cert.get()), keyPem(key.get())};
}

}  // namespace

TestCa::TestCa()
{
    KeyPtr caKey = newKey();
    KeyPtr otherCaKey = newKey();
    if (!caKey || !otherCaKey)
        return;
    const CertSpec authority{"VantroQo test CA", nullptr, -day, 30 * day};
    CertPtr ca = makeCertificate(authority, caKey.get(), nullptr, nullptr);
    const CertSpec otherAuthority{"VantroQo untrusted CA", nullptr, -day, 30 * day};
    CertPtr otherCa = makeCertificate(otherAuthority, otherCaKey.get(), nullptr, nullptr);
    if (!ca || !otherCa)
        return;

    m_valid = makeLeaf({"127.0.0.1", loopbackNames, -day, 30 * day}, ca.get(), caKey.get());
    m_expired = makeLeaf({"127.0.0.1", loopbackNames, -3 * day, -day}, ca.get(), caKey.get());
    m_otherName = makeLeaf({"cloud.other.invalid", "DNS:cloud.other.invalid", -day, 30 * day},
                           ca.get(), caKey.get());
    m_selfSigned = makeLeaf({"127.0.0.1", loopbackNames, -day, 30 * day}, nullptr, nullptr);
    m_untrusted = makeLeaf({"127.0.0.1", loopbackNames, -day, 30 * day}, otherCa.get(), otherCaKey.get());
    if (m_valid.keyPem.isEmpty() || m_expired.keyPem.isEmpty() || m_otherName.keyPem.isEmpty()
        || m_selfSigned.keyPem.isEmpty() || m_untrusted.keyPem.isEmpty())
        return;
    m_caPem = certificatePem(ca.get());
}

bool TestCa::writeCaPem(const QString& path) const
{
    QFile file(path);
    return isValid() && file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(m_caPem) == m_caPem.size();
}
