#pragma once
// The agency's file-transfer service as this installation reaches it: SERVIZIO.INI in
// the general data folder, one "KEY=value" line each (see settingsfile.h).
//   HOST_PROVA, PORTA_PROVA   host and port of the test environment
//   HOST_REALE, PORTA_REALE   host and port of the real environment
//   NAMESPACE                 the target namespace of the service's SOAP interface
//   CA_AGGIUNTIVA             an extra CA certificate file (PEM) trusted beside the
//                             system's store, for the test environment only
//   CA_AGGIUNTIVA_REALE       the same for the real environment; empty for none
//   TIMEOUT_SECONDI           how long one call may wait for the service
// A missing file or key gives the defaults: the test environment points at a
// simulator on this machine; the real environment has no default host, and until
// the clerk sets one a real send is refused. An extra CA meant for tests never
// vouches for the real host, so one edited key cannot redirect the real send.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/files/folders.h"

namespace accise {

enum class AgencyEnvironment { Test, Real };

inline constexpr const char* kServiceSettingsFile = "SERVIZIO.INI";
inline constexpr const char* kServicePath = "/TelematicoFtpEjbHttpRouter/TelematicoFtpWsBindingImplService";

struct ServiceSettings {
    std::string testHost = "localhost";
    int testPort = 8443;
    std::string realHost;  // none until set
    int realPort = 443;
    std::string targetNamespace = "urn:accise-birra:simulatore";
    std::string extraCaFile;     // test environment
    std::string realExtraCaFile; // real environment
    int timeoutSeconds = 60;
    // The first key holding a value that cannot be used ("PORTA_PROVA"); empty when
    // every value is usable. A call is refused rather than sent somewhere unintended.
    std::string invalidKey;

    std::string host(AgencyEnvironment environment) const;
    const std::string& extraCa(AgencyEnvironment environment) const;
    // The real environment has a host of its own: set, and not the test environment's.
    bool realConfigured() const;
    int port(AgencyEnvironment environment) const;
    // "https://" + host + ":" + port + the service path.
    std::string endpoint(AgencyEnvironment environment) const;
};

ServiceSettings readServiceSettings(const Folders& folders);

// The keys of SERVIZIO.INI, in the order the settings window shows them.
inline constexpr const char* kServiceKeys[] = {"HOST_PROVA", "PORTA_PROVA", "HOST_REALE", "PORTA_REALE",
                                               "NAMESPACE", "CA_AGGIUNTIVA", "CA_AGGIUNTIVA_REALE",
                                               "TIMEOUT_SECONDI"};
// Whether `text` can stand for `key` (an empty host of the real environment leaves
// it unset; other empty values take the default).
bool serviceValueUsable(std::string_view key, const std::string& text);
// The values as stored, by key (empty for a key at its default).
std::string storedServiceValue(const Folders& folders, std::string_view key);
// Sets the keys to the values given (an empty value returns the key to its default);
// lines the window does not know are kept.
void writeServiceValues(const Folders& folders, const std::vector<std::pair<std::string, std::string>>& values);

// True when `host` names this machine: HTTP credentials may then travel without TLS.
bool isLocalHost(std::string_view host);

// Why a real send cannot go: the real environment is not set, or is the test one.
// Empty when it can.
std::string realEnvironmentProblem(const ServiceSettings& settings);

} // namespace accise
