#pragma once
// Test certificates and CMS signed-data (DER, content attached) over OpenSSL's
// libcrypto: what the test signing program writes, what the agency simulator and
// "accise-cli flow verify" check. Built only where OpenSSL is available.
#include <string>
#include <string_view>
#include <vector>

namespace accise::cms {

// A certificate and its private key, both PEM.
struct Identity {
    std::string certificatePem;
    std::string privateKeyPem;
};

struct CertificateRequest {
    std::string commonName;
    std::string organization;
    int days = 3650;
    bool authority = false;                 // may sign other certificates
    std::vector<std::string> dnsNames;      // subject alternative names
    std::vector<std::string> ipAddresses;
};

// A new RSA key and a certificate for it, signed by `issuer` or, when null, by itself.
// Throws std::runtime_error with OpenSSL's reason when the library refuses.
Identity makeCertificate(const CertificateRequest& request, const Identity* issuer = nullptr);

// CMS signed-data of `content`, content attached, DER. Throws std::runtime_error.
std::string signAttached(std::string_view content, const Identity& signer);

struct Verification {
    bool valid = false;        // the signature matches the content it carries
    std::string content;       // the signed content (empty when not valid)
    std::string signer;        // the signing certificate's subject, one line
    std::string issuer;        // its issuer
    bool selfSigned = false;   // issued by itself: nothing vouches for who signed
    std::string problem;       // Italian, when not valid
};

// Checks the signature of a DER CMS signed-data with attached content. The signer's
// certificate is not checked against any authority (integrity only): `signer` and
// `selfSigned` say who signed, for the caller to judge.
Verification verifyAttached(std::string_view der);

} // namespace accise::cms
