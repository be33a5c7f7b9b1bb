#include "cmssignature.h"

#include <memory>
#include <stdexcept>

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

namespace accise::cms {
namespace {

template <auto Free>
struct Deleter {
    template <typename T>
    void operator()(T* p) const { Free(p); }
};
using BioPtr = std::unique_ptr<BIO, Deleter<BIO_free_all>>;
using KeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY_free>>;
using CertPtr = std::unique_ptr<X509, Deleter<X509_free>>;
using CmsPtr = std::unique_ptr<CMS_ContentInfo, Deleter<CMS_ContentInfo_free>>;

std::string lastError() {
    std::string text;
    while (const unsigned long code = ERR_get_error()) {
        char buffer[256];
        ERR_error_string_n(code, buffer, sizeof buffer);
        if (!text.empty()) text += "; ";
        text += buffer;
    }
    return text.empty() ? "errore sconosciuto" : text;
}

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error(what + ": " + lastError()); }

BioPtr memoryOf(std::string_view bytes) {
    BioPtr bio(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())));
    if (!bio) fail("memoria");
    return bio;
}

std::string drain(BIO* bio) {
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return std::string(data, static_cast<std::size_t>(size));
}

KeyPtr readKey(const std::string& pem) {
    BioPtr bio = memoryOf(pem);
    KeyPtr key(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
    if (!key) fail("chiave privata illeggibile");
    return key;
}

CertPtr readCertificate(const std::string& pem) {
    BioPtr bio = memoryOf(pem);
    CertPtr cert(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
    if (!cert) fail("certificato illeggibile");
    return cert;
}

void addExtension(X509* cert, X509* issuer, int nid, const std::string& value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str());
    if (!ext) fail("estensione del certificato");
    X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
}

std::string oneLine(const X509_NAME* name) {
    BioPtr bio(BIO_new(BIO_s_mem()));
    X509_NAME_print_ex(bio.get(), name, 0, XN_FLAG_ONELINE & ~ASN1_STRFLGS_ESC_MSB);
    return drain(bio.get());
}

} // namespace

Identity makeCertificate(const CertificateRequest& request, const Identity* issuer) {
    KeyPtr key(EVP_RSA_gen(2048));
    if (!key) fail("generazione della chiave");
    CertPtr cert(X509_new());
    X509_set_version(cert.get(), 2);
    unsigned char serial[16];
    RAND_bytes(serial, sizeof serial);
    serial[0] &= 0x7f; // a positive serial number
    BIGNUM* bn = BN_bin2bn(serial, sizeof serial, nullptr);
    BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(cert.get()));
    BN_free(bn);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 60L * 60 * 24 * request.days);
    X509_set_pubkey(cert.get(), key.get());

    X509_NAME* name = X509_get_subject_name(cert.get());
    const auto add = [name](const char* field, const std::string& value) {
        if (!value.empty())
            X509_NAME_add_entry_by_txt(name, field, MBSTRING_UTF8,
                                       reinterpret_cast<const unsigned char*>(value.c_str()), -1, -1, 0);
    };
    add("C", "IT");
    add("O", request.organization);
    add("CN", request.commonName);

    CertPtr issuerCert;
    KeyPtr issuerKey;
    if (issuer) {
        issuerCert = readCertificate(issuer->certificatePem);
        issuerKey = readKey(issuer->privateKeyPem);
    }
    X509* signingCert = issuer ? issuerCert.get() : cert.get();
    EVP_PKEY* signingKey = issuer ? issuerKey.get() : key.get();
    X509_set_issuer_name(cert.get(), X509_get_subject_name(signingCert));

    addExtension(cert.get(), signingCert, NID_basic_constraints, request.authority ? "critical,CA:TRUE" : "critical,CA:FALSE");
    addExtension(cert.get(), signingCert, NID_key_usage,
                 request.authority ? "critical,keyCertSign,cRLSign,digitalSignature"
                                   : "critical,digitalSignature,nonRepudiation,keyEncipherment");
    addExtension(cert.get(), signingCert, NID_subject_key_identifier, "hash");
    addExtension(cert.get(), signingCert, NID_authority_key_identifier, "keyid:always");
    std::string names;
    for (const auto& dns : request.dnsNames) names += (names.empty() ? "" : ",") + std::string("DNS:") + dns;
    for (const auto& ip : request.ipAddresses) names += (names.empty() ? "" : ",") + std::string("IP:") + ip;
    if (!names.empty()) {
        addExtension(cert.get(), signingCert, NID_subject_alt_name, names);
        addExtension(cert.get(), signingCert, NID_ext_key_usage, "serverAuth");
    }
    if (!X509_sign(cert.get(), signingKey, EVP_sha256())) fail("firma del certificato");

    Identity out;
    BioPtr certBio(BIO_new(BIO_s_mem())), keyBio(BIO_new(BIO_s_mem()));
    if (!PEM_write_bio_X509(certBio.get(), cert.get()) ||
        !PEM_write_bio_PrivateKey(keyBio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr))
        fail("scrittura PEM");
    out.certificatePem = drain(certBio.get());
    out.privateKeyPem = drain(keyBio.get());
    return out;
}

std::string signAttached(std::string_view content, const Identity& signer) {
    CertPtr cert = readCertificate(signer.certificatePem);
    KeyPtr key = readKey(signer.privateKeyPem);
    BioPtr in = memoryOf(content);
    CmsPtr cms(CMS_sign(cert.get(), key.get(), nullptr, in.get(), CMS_BINARY));
    if (!cms) fail("firma CMS");
    BioPtr out(BIO_new(BIO_s_mem()));
    if (!i2d_CMS_bio(out.get(), cms.get())) fail("scrittura della firma");
    return drain(out.get());
}

Verification verifyAttached(std::string_view der) {
    Verification v;
    ERR_clear_error();
    BioPtr in = memoryOf(der);
    CmsPtr cms(d2i_CMS_bio(in.get(), nullptr));
    if (!cms || OBJ_obj2nid(CMS_get0_type(cms.get())) != NID_pkcs7_signed) {
        v.problem = "il file non è una busta firmata CMS (formato DER)";
        ERR_clear_error();
        return v;
    }
    ASN1_OCTET_STRING** carried = CMS_get0_content(cms.get());
    if (!carried || !*carried) {
        v.problem = "la busta firmata non contiene il file (firma separata)";
        return v;
    }
    BioPtr out(BIO_new(BIO_s_mem()));
    const bool ok = CMS_verify(cms.get(), nullptr, nullptr, nullptr, out.get(),
                               CMS_BINARY | CMS_NO_SIGNER_CERT_VERIFY) == 1;
    if (!ok) {
        v.problem = "firma non valida: il contenuto è stato alterato o la firma è danneggiata (" + lastError() + ")";
        return v;
    }
    STACK_OF(X509)* signers = CMS_get0_signers(cms.get());
    if (signers && sk_X509_num(signers) > 0) {
        X509* cert = sk_X509_value(signers, 0);
        v.signer = oneLine(X509_get_subject_name(cert));
        v.issuer = oneLine(X509_get_issuer_name(cert));
        // Issued by itself: same name and signed by its own key (X509_check_issued would
        // also ask for the right to sign certificates, which a signer's one lacks).
        v.selfSigned = X509_NAME_cmp(X509_get_subject_name(cert), X509_get_issuer_name(cert)) == 0 &&
                       X509_verify(cert, X509_get0_pubkey(cert)) == 1;
        ERR_clear_error();
    }
    sk_X509_free(signers);
    v.valid = true;
    v.content = drain(out.get());
    return v;
}

} // namespace accise::cms
