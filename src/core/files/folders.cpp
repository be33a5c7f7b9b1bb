#include "core/files/folders.h"

#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "core/files/ioerror.h"
#include "core/tables/dates.h"

namespace accise {
namespace {

void makeFolder(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) throw IoError(folder, "creazione della cartella: " + ec.message());
    if (!fs::is_directory(folder)) throw IoError(folder, "creazione della cartella: esiste un file con questo nome");
}

std::string twoDigits(int n) {
    char buf[8];
    // At least two digits, never cut: a number past 99 keeps all of its digits.
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

std::string monthDay(double date) {
    const CivilDate c = civilFromDay(date);
    return twoDigits(c.month) + twoDigits(c.day);
}

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (upper(text[i]) != upper(prefix[i])) return false;
    return true;
}

} // namespace

Folders Folders::of(const fs::path& working, const fs::path& temp) {
    return Folders{working, working / "DATI_GEN", working / "REGISTRI", temp};
}

Folders Folders::of(const fs::path& working) { return of(working, defaultTempFolder()); }

void Folders::create() const {
    makeFolder(temp);
    makeFolder(generalData);
    makeFolder(registers);
}

fs::path Folders::site(int number) const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "UTENTE.%03d", number);
    return general(buf);
}

fs::path Folders::table(std::string_view name) const { return general(std::string(name) + ".TAB"); }
fs::path Folders::structure(std::string_view name) const { return general(std::string(name) + ".STR"); }
fs::path Folders::productList(int n) const { return general(std::to_string(n) + "_TA20.PRT"); }
fs::path Folders::addressBook(char kind) const { return general(std::string("INDIRIZZI_") + kind + ".DAT"); }
fs::path Folders::registerFile(int year) const { return inRegisters(std::to_string(year) + ".RGM"); }
fs::path Folders::dutyFile(int year) const { return inRegisters(std::to_string(year) + ".DER"); }
fs::path Folders::guaranteeFile(int year) const { return inRegisters(std::to_string(year) + ".GAR"); }

fs::path defaultTempFolder() {
#ifdef _WIN32
    return fs::path("C:\\TEMP_BIRRA");
#else
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache)
        return fs::path(cache) / "accise-birra" / "TEMP_BIRRA";
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".cache" / "accise-birra" / "TEMP_BIRRA";
    return fs::temp_directory_path() / "TEMP_BIRRA";
#endif
}

int nextFlowProgressive(const fs::path& signedFolder, std::string_view userCode, double flowDate) {
    const std::string prefix = std::string(userCode) + monthDay(flowDate) + ".C";
    int highest = 0;
    std::error_code ec;
    for (fs::directory_iterator it(signedFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!startsWithNoCase(name, prefix)) continue;
        // The two digits at character positions 11 and 12 of the name.
        int nn = 0;
        for (std::size_t i = 10; i < 12 && i < name.size(); ++i) {
            if (name[i] < '0' || name[i] > '9') {
                nn = 0;
                break;
            }
            nn = nn * 10 + (name[i] - '0');
        }
        if (nn > highest) highest = nn;
    }
    return highest + 1;
}

std::string flowLabel(int number, double flowDate) { return monthDay(flowDate) + ".C" + twoDigits(number); }

std::string flowFileName(std::string_view userCode, int number, double flowDate) {
    return std::string(userCode) + flowLabel(number, flowDate);
}

} // namespace accise
