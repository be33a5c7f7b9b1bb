#include "logic/reportwindows/registersearchwindow.h"

#include "core/files/text1252.h"
#include "core/reports/registersearchprint.h"
#include "core/tables/dates.h"
#include "logic/masterdata/addresswindows.h"
#include "logic/reportwindows/searchdates.h"

namespace accise {

namespace {
constexpr const char* kDateMask = "!99/99/0000;1;_";
}

RegisterSearchLogic::RegisterSearchLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : EntryFormLogic(ctx, prompt, services), mode_(isRegisterSearchMode(ctx.mode) ? ctx.mode : 'C') {
    addField(FieldSpec("MDADA", 10).withMask(kDateMask));
    addField(FieldSpec("MDAAL", 10).withMask(kDateMask));
    addField(FieldSpec("MITDES", 16, LetterCase::Upper));
    addField(FieldSpec("lfile").shownOnly());
}

std::filesystem::path RegisterSearchLogic::exportFile() const {
    return registerSearchExportFile(folders());
}

void RegisterSearchLogic::onOpen() {
    fileButtonShown_ = false;
    setValue("lfile", "");
    const double today = todayDayNumber();
    setValue("MDAAL", formatDate(today));
    setValue("MDADA", "01/01/" + std::to_string(yearOf(today)));
    setValue("MITDES", "");
    setFocusAfterOpen("MDADA");
}

FocusMove RegisterSearchLogic::onLeave(std::string_view control) {
    if (control == "MDADA") setValue("lfile", "");
    return FocusMove::next();
}

std::optional<std::string> RegisterSearchLogic::onConfirmChecks() {
    fileButtonShown_ = false;
    const auto from = typedSearchDate(value("MDADA"));
    if (!from) return "MDADA";
    const auto to = typedSearchDate(value("MDAAL"));
    if (!to || *to < *from) return "MDAAL";
    criteria_ = {mode_, *from, *to, padTo(value("MITDES"), 16)};
    setValue("lfile", std::string(kSavedInPrefix) + exportFile().string());
    return std::nullopt;
}

void RegisterSearchLogic::onSave() {
    fileButtonShown_ = true;
    folders().create();
    RegisterSearchPrint print{title(), formatDate(criteria_.from), formatDate(criteria_.to), trimmed(criteria_.code),
                              runRegisterSearch(folders(), criteria_)};
    writeRegisterSearchExport(exportFile(), print.rows);
    listed_ = print.rows.size();
    const std::string reportTitle = print.caption;
    services().showReport({reportTitle, PageOrientation::Landscape,
                           [print = std::move(print)](PageCanvas& canvas) { drawRegisterSearch(canvas, print); }});
    setValue("MITDES", "");
    setFocusAfterOpen("MDADA");
}

std::optional<std::string> RegisterSearchLogic::chooseCode() {
    CommandContext& ctx = context();
    ctx.table = mode_ == 'C' ? "INDIRIZZI_F" : "INDIRIZZI_D";
    if (const auto entry = chooseAddressEntry(ctx, services()))
        setValue("MITDES", trimmed(isEmptyField(entry->id1) ? entry->id2 : entry->id1));
    return "MITDES";
}

std::optional<std::string> RegisterSearchLogic::openExport() {
    services().openFile(exportFile().string());
    return std::nullopt;
}

} // namespace accise
