#include "logic/masterdata/installationsettingswindow.h"

#include "core/files/text1252.h"
#include "core/tables/installationsettings.h"
#include "logic/masterdata/companydata.h"

namespace accise {

using namespace installationsettingswindow;

namespace {
constexpr int kExciseCodeLength = 13;
}

InstallationSettingsLogic::InstallationSettingsLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : EntryFormLogic(ctx, prompt, services) {
    for (int i = 0; i < kSplitCodes; ++i) addField(FieldSpec(splitControl(i), kExciseCodeLength, LetterCase::Upper));
    addField(FieldSpec(kReleaseControl, kExciseCodeLength, LetterCase::Upper));
}

void InstallationSettingsLogic::onOpen() {
    const InstallationSettings settings = readInstallationSettings(folders());
    for (int i = 0; i < kSplitCodes; ++i)
        setValue(splitControl(i), settings.brewSplitExciseCodes[static_cast<std::size_t>(i)]);
    setValue(kReleaseControl, settings.directReleaseExciseCode);
    setFocusAfterOpen(splitControl(0));
}

bool InstallationSettingsLogic::codeOk(std::string_view control) {
    if (acceptableInstallationCode(value(control))) return true;
    prompt().information(companydata::kWrongExciseCode);
    return false;
}

FocusMove InstallationSettingsLogic::onLeave(std::string_view control) {
    return codeOk(control) ? FocusMove::next() : FocusMove::to(std::string(control));
}

std::optional<std::string> InstallationSettingsLogic::onConfirmChecks() {
    for (const FieldSpec& f : fields())
        if (!codeOk(f.control)) return f.control;
    return std::nullopt;
}

void InstallationSettingsLogic::onSave() {
    InstallationSettings settings = readInstallationSettings(folders());
    for (int i = 0; i < kSplitCodes; ++i)
        settings.brewSplitExciseCodes[static_cast<std::size_t>(i)] = trimmed(value(splitControl(i)));
    settings.directReleaseExciseCode = trimmed(value(kReleaseControl));
    writeInstallationSettings(folders(), settings);
    requestClose();
}

} // namespace accise
