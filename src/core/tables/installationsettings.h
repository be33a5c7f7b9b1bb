#pragma once
// The settings of an installation that the brewery's operator codes decide: the
// excise codes of the operators whose brews are split at once into litres to
// package and process losses, and the excise code of the operator whose packaging
// releases the beer directly. Kept in IMPIANTO.INI of the general data folder:
//   SDOPPIAMENTO_COTTA_1=...  (up to SDOPPIAMENTO_COTTA_7)
//   SVINCOLO_DIRETTO=...
// Every value defaults to none (empty): no brew is split, no packaging releases.
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/files/folders.h"

namespace accise {

struct InstallationSettings {
    std::array<std::string, 7> brewSplitExciseCodes; // empty entries are unused
    std::string directReleaseExciseCode;             // empty: none

    bool splitsBrews(std::string_view companyExciseCode) const;
    bool releasesDirectly(std::string_view companyExciseCode) const;
};

// Keys and values in the file's order (SDOPPIAMENTO_COTTA_1..7, SVINCOLO_DIRETTO).
std::vector<std::pair<std::string, std::string>> installationSettingEntries(const InstallationSettings& settings);
// Sets the value of `key` (letter case ignored); false for a key the file does not have.
bool setInstallationSetting(InstallationSettings& settings, std::string_view key, std::string value);
// What a setting may hold: nothing, or an excise code as the company data take it
// (the settings are compared with the company's own code).
bool acceptableInstallationCode(std::string_view code);

fs::path installationSettingsFile(const Folders& folders);
InstallationSettings readInstallationSettings(const Folders& folders);
// Writes the settings, keeping any other line of the file.
void writeInstallationSettings(const Folders& folders, const InstallationSettings& settings);

} // namespace accise
