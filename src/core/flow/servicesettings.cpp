#include "core/flow/servicesettings.h"

#include <cctype>

#include "core/files/settingsfile.h"

namespace accise {

namespace {

// A host name or an IPv4 address; an IPv6 address in brackets. Nothing that could
// smuggle a user, a path or a second port into the endpoint.
bool usableHost(std::string_view host) {
    if (host.empty() || host.size() > 253) return false;
    if (host.front() == '[') {
        if (host.back() != ']' || host.size() < 3) return false;
        for (char c : host.substr(1, host.size() - 2))
            if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.') return false;
        return true;
    }
    for (char c : host)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-') return false;
    return true;
}

bool readNumber(const std::string& text, int low, int high, int& out) {
    if (text.empty() || text.size() > 6) return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) return false;
    out = value;
    return true;
}

} // namespace

std::string ServiceSettings::host(AgencyEnvironment environment) const {
    return environment == AgencyEnvironment::Real ? realHost : testHost;
}

const std::string& ServiceSettings::extraCa(AgencyEnvironment environment) const {
    return environment == AgencyEnvironment::Real ? realExtraCaFile : extraCaFile;
}

bool ServiceSettings::realConfigured() const {
    return !realHost.empty() && !(realHost == testHost && realPort == testPort);
}

std::string realEnvironmentProblem(const ServiceSettings& s) {
    const std::string where = "IMPOSTARLO IN \"Configurazione\" - \"Servizio telematico\" (HOST_REALE E PORTA_REALE DI " +
                              std::string(kServiceSettingsFile) + ").";
    if (s.realHost.empty()) return "L'AMBIENTE REALE NON E' IMPOSTATO: NESSUN INVIO REALE. " + where;
    if (!s.realConfigured())
        return "L'AMBIENTE REALE COINCIDE CON QUELLO DI PROVA (" + s.testHost + ":" + std::to_string(s.testPort) +
               "): NESSUN INVIO REALE. " + where;
    return {};
}

int ServiceSettings::port(AgencyEnvironment environment) const {
    return environment == AgencyEnvironment::Real ? realPort : testPort;
}

std::string ServiceSettings::endpoint(AgencyEnvironment environment) const {
    return "https://" + host(environment) + ":" + std::to_string(port(environment)) + kServicePath;
}

ServiceSettings readServiceSettings(const Folders& folders) {
    const SettingsFile file = SettingsFile::read(folders.general(kServiceSettingsFile));
    ServiceSettings s;
    auto fail = [&s](const char* key) {
        if (s.invalidKey.empty()) s.invalidKey = key;
    };
    auto text = [&file](const char* key, const std::string& fallback) {
        const std::string v = file.valueOr(key, "");
        return v.empty() ? fallback : v;
    };
    s.testHost = text("HOST_PROVA", s.testHost);
    if (!usableHost(s.testHost)) fail("HOST_PROVA");
    if (!readNumber(text("PORTA_PROVA", "8443"), 1, 65535, s.testPort)) fail("PORTA_PROVA");
    s.realHost = text("HOST_REALE", s.realHost);
    if (!s.realHost.empty() && !usableHost(s.realHost)) fail("HOST_REALE");
    if (!readNumber(text("PORTA_REALE", "443"), 1, 65535, s.realPort)) fail("PORTA_REALE");
    s.targetNamespace = text("NAMESPACE", s.targetNamespace);
    s.extraCaFile = file.valueOr("CA_AGGIUNTIVA", "");
    s.realExtraCaFile = file.valueOr("CA_AGGIUNTIVA_REALE", "");
    if (!readNumber(text("TIMEOUT_SECONDI", "60"), 1, 3600, s.timeoutSeconds)) fail("TIMEOUT_SECONDI");
    return s;
}

bool serviceValueUsable(std::string_view key, const std::string& text) {
    int ignored = 0;
    if (text.empty()) return true;
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20) return false;
    if (key == "HOST_PROVA" || key == "HOST_REALE") return usableHost(text);
    if (key == "PORTA_PROVA" || key == "PORTA_REALE") return readNumber(text, 1, 65535, ignored);
    if (key == "TIMEOUT_SECONDI") return readNumber(text, 1, 3600, ignored);
    return true;
}

std::string storedServiceValue(const Folders& folders, std::string_view key) {
    return SettingsFile::read(folders.general(kServiceSettingsFile)).valueOr(key, "");
}

void writeServiceValues(const Folders& folders, const std::vector<std::pair<std::string, std::string>>& values) {
    const fs::path file = folders.general(kServiceSettingsFile);
    SettingsFile settings = SettingsFile::read(file);
    for (const auto& [key, value] : values) settings.set(key, value);
    settings.write(file);
}

bool isLocalHost(std::string_view host) {
    return host == "localhost" || host == "127.0.0.1" || host == "[::1]" || host == "::1";
}

} // namespace accise
