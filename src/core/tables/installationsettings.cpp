#include "core/tables/installationsettings.h"

#include "core/files/settingsfile.h"
#include "core/files/text1252.h"
#include "core/tables/identifiers.h"
#include "core/tables/keyfilters.h"

namespace accise {

namespace {

std::string splitKey(std::size_t index) { return "SDOPPIAMENTO_COTTA_" + std::to_string(index + 1); }
constexpr std::string_view kDirectReleaseKey = "SVINCOLO_DIRETTO";

bool sameCode(std::string_view setting, std::string_view code) {
    const std::string wanted = trimmed(code);
    return !setting.empty() && !wanted.empty() && setting == wanted;
}

} // namespace

bool InstallationSettings::splitsBrews(std::string_view companyExciseCode) const {
    for (const std::string& code : brewSplitExciseCodes)
        if (sameCode(code, companyExciseCode)) return true;
    return false;
}

bool InstallationSettings::releasesDirectly(std::string_view companyExciseCode) const {
    return sameCode(directReleaseExciseCode, companyExciseCode);
}

std::vector<std::pair<std::string, std::string>> installationSettingEntries(const InstallationSettings& settings) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (std::size_t i = 0; i < settings.brewSplitExciseCodes.size(); ++i)
        entries.emplace_back(splitKey(i), settings.brewSplitExciseCodes[i]);
    entries.emplace_back(std::string(kDirectReleaseKey), settings.directReleaseExciseCode);
    return entries;
}

bool setInstallationSetting(InstallationSettings& settings, std::string_view key, std::string value) {
    const std::string wanted = toUpperAscii(trimmed(key));
    value = trimmed(value);
    if (wanted == kDirectReleaseKey) {
        settings.directReleaseExciseCode = std::move(value);
        return true;
    }
    for (std::size_t i = 0; i < settings.brewSplitExciseCodes.size(); ++i) {
        if (wanted != splitKey(i)) continue;
        settings.brewSplitExciseCodes[i] = std::move(value);
        return true;
    }
    return false;
}

bool acceptableInstallationCode(std::string_view code) {
    const std::string text = trimmed(code);
    return text.empty() || isValidExciseCode(text, 'A');
}

fs::path installationSettingsFile(const Folders& folders) { return folders.general("IMPIANTO.INI"); }

InstallationSettings readInstallationSettings(const Folders& folders) {
    const SettingsFile file = SettingsFile::read(installationSettingsFile(folders));
    InstallationSettings settings;
    for (std::size_t i = 0; i < settings.brewSplitExciseCodes.size(); ++i)
        settings.brewSplitExciseCodes[i] = file.valueOr(splitKey(i), "");
    settings.directReleaseExciseCode = file.valueOr(kDirectReleaseKey, "");
    return settings;
}

void writeInstallationSettings(const Folders& folders, const InstallationSettings& settings) {
    const fs::path path = installationSettingsFile(folders);
    SettingsFile file = SettingsFile::read(path);
    for (std::size_t i = 0; i < settings.brewSplitExciseCodes.size(); ++i)
        file.set(splitKey(i), trimmed(settings.brewSplitExciseCodes[i]));
    file.set(kDirectReleaseKey, trimmed(settings.directReleaseExciseCode));
    file.write(path);
}

} // namespace accise
