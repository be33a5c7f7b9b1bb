#include "core/tables/company.h"

#include <cstdio>
#include <stdexcept>

#include "core/files/ioerror.h"
#include "core/files/recordchecks.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"

namespace accise {
namespace {

constexpr int kFirstSite = 2;
constexpr int kLastSite = 999;

// The first record of a single-record file, as stored: nullopt when the file does not
// exist, an empty string when it has no bytes. A file with bytes but no whole record
// was cut short; reading it as blank would hide the loss, so it is an error.
std::optional<std::string> firstRecordOf(const fs::path& file, std::size_t size) {
    if (!fileExists(file)) return std::nullopt;
    const RecordBlock block = readRecords(file, size, IfMissing::Empty);
    if (block.count() > 0) return std::string(block.at(0));
    if (block.tailBytes() != 0)
        throw IoError(file, "file danneggiato: " + std::to_string(block.bytes().size()) +
                                " byte, meno di un record di " + std::to_string(size) + " byte");
    return std::string();
}

// A stored address record trimmed; the blank record for a file with no bytes.
AddressRecord addressFrom(const std::string& bytes) {
    if (bytes.empty()) return blankAddress();
    AddressRecord a = decodeAddress(bytes);
    trimAddress(a);
    return a;
}

bool isBlankEntry(const std::string& entry) { return trimmed(entry).empty(); }

template <std::size_t N>
std::array<std::string, N> columnsOf(const TableRecord& record) {
    std::array<std::string, N> entries;
    for (std::size_t i = 0; i < N; ++i) entries[i] = record.col[i];
    return entries;
}

template <std::size_t N>
void writeColumns(const fs::path& file, const std::array<std::string, N>& entries) {
    TableRecord record = readConfigRecord(file);
    for (std::size_t i = 0; i < N; ++i) record.col[i] = entries[i];
    writeConfigRecord(file, std::move(record));
}

template <std::size_t N>
bool allPresent(const std::array<std::string, N>& entries, std::size_t required) {
    for (std::size_t i = 0; i < required; ++i)
        if (isBlankEntry(entries[i])) return false;
    return true;
}

int siteNumberOf(const std::string& userCode) {
    const std::string text = trimmed(userCode);
    if (text.size() != 3) return 0;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}

void requireSiteNumber(int number) {
    if (number < kFirstSite || number > kLastSite)
        throw std::invalid_argument("numero di sede fuori dall'intervallo 002-999: " + std::to_string(number));
}

} // namespace

// ---- Company ----

std::optional<AddressRecord> readCompany(const Folders& folders) {
    const auto bytes = firstRecordOf(folders.company(), kAddressSize);
    if (!bytes) return std::nullopt;
    return addressFrom(*bytes);
}

void writeCompany(const Folders& folders, AddressRecord company) {
    requireNoControlCharacters(folders.company(), company);
    padAddress(company);
    replaceFileContent(folders.company(), encodeAddress(company));
}

bool isAlcopp(const AddressRecord& company) { return company.postcode2.find("ALCOPP") != std::string::npos; }

// ---- Other authorised sites ----

std::string nextFreeSiteNumber(const Folders& folders) {
    for (int n = kFirstSite; n <= kLastSite; ++n) {
        if (fileExists(folders.site(n))) continue;
        char buf[8];
        std::snprintf(buf, sizeof buf, "%03d", n);
        return buf;
    }
    return {};
}

std::optional<AddressRecord> readSite(const Folders& folders, int number) {
    requireSiteNumber(number);
    const auto bytes = firstRecordOf(folders.site(number), kAddressSize);
    if (!bytes) return std::nullopt;
    return addressFrom(*bytes);
}

void writeSite(const Folders& folders, AddressRecord site) {
    const int number = siteNumberOf(site.user_code);
    if (number == 0) throw std::invalid_argument("numero di sede non valido: \"" + site.user_code + "\"");
    requireSiteNumber(number);
    requireNoControlCharacters(folders.site(number), site);
    padAddress(site);
    replaceFileContent(folders.site(number), encodeAddress(site));
}

// ---- Configuration ----

TableRecord readConfigRecord(const fs::path& file) {
    const auto bytes = firstRecordOf(file, kTableSize);
    TableRecord record = (bytes && !bytes->empty()) ? decodeTable(*bytes) : blankTable();
    trimTable(record);
    return record;
}

void writeConfigRecord(const fs::path& file, TableRecord record) {
    padTable(record);
    const std::string encoded = encodeTable(record);
    requireFiniteNumbers(file, encoded);
    replaceFileContent(file, encoded);
}

void ensureConfigFile(const fs::path& file) {
    const auto bytes = firstRecordOf(file, kTableSize);
    if (!bytes || bytes->empty()) writeConfigRecord(file, blankTable());
}

ApplPaths readApplConfig(const Folders& folders) { return columnsOf<4>(readConfigRecord(folders.applConfig())); }
ApplPaths resolvedApplPaths(const Folders& folders) {
    ApplPaths entries = readApplConfig(folders);
    const fs::path base = fs::absolute(folders.working);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const fs::path entry(entries[i]);
        if (entries[i].empty() || entry.is_absolute()) continue;
        // A bare program name is left to the system to find.
        if (i == 0 && !entry.has_parent_path()) continue;
        entries[i] = (base / entry).string();
    }
    return entries;
}

fs::path resolvedApplFolder(const Folders& folders, const std::string& entry) {
    const std::string text = trimmed(entry);
    if (text.empty()) return {};
    const fs::path folder(text);
    return folder.is_absolute() ? folder : folders.working / folder;
}

WebAddresses readWebConfig(const Folders& folders) { return columnsOf<8>(readConfigRecord(folders.webConfig())); }
void writeApplConfig(const Folders& folders, const ApplPaths& entries) { writeColumns(folders.applConfig(), entries); }
void writeWebConfig(const Folders& folders, const WebAddresses& entries) { writeColumns(folders.webConfig(), entries); }

// ---- Readiness check and status bar ----

Readiness checkReadiness(const Folders& folders) {
    Readiness r;
    r.company = readCompany(folders).value_or(blankAddress());
    r.alcopp = isAlcopp(r.company);

    const std::string auth = trimmed(r.company.auth_type);
    if (auth != "1" && auth != "2") r.messages.emplace_back(kCompanyMissing);
    // Entry 8 of WEB.CFG, the agency's home page, is optional.
    if (!allPresent(readApplConfig(folders), 4)) r.messages.emplace_back(kApplPathsMissing);
    if (!allPresent(readWebConfig(folders), 7)) r.messages.emplace_back(kWebAddressesMissing);

    r.ready = r.messages.empty();
    return r;
}

StatusRefresh statusText(const Folders& folders) {
    AddressRecord stored = blankAddress();
    if (const auto bytes = firstRecordOf(folders.company(), kAddressSize); !bytes) {
        writeCompany(folders, stored);
    } else if (!bytes->empty()) {
        stored = decodeAddress(*bytes);
    }
    StatusRefresh s;
    s.readiness = checkReadiness(folders);
    s.text = folders.working.string() + "   *** " + padTo(stored.id1, 18) + " - " + padTo(stored.postcode2, 10);
    return s;
}

} // namespace accise
