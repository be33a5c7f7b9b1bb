#include "logic/reportwindows/registersearchwindow.h"

#include "core/files/text1252.h"
#include "core/reports/registersearchprint.h"
#include "core/tables/dates.h"
#include "core/files/ioerror.h"
#include "logic/masterdata/addresswindows.h"
#include "logic/movements/movemententry.h"
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
    addField(FieldSpec("LESPORTA").shownOnly());
}

std::filesystem::path RegisterSearchLogic::exportFile() const {
    return registerSearchExportFile(folders());
}

void RegisterSearchLogic::onOpen() {
    fileButtonShown_ = false;
    setValue("lfile", "");
    setValue("LESPORTA", "");
    last_.reset();
    results_.clear();
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
    auto print = std::make_shared<RegisterSearchPrint>(RegisterSearchPrint{
        title(), formatDate(criteria_.from), formatDate(criteria_.to), trimmed(criteria_.code),
        runRegisterSearch(folders(), criteria_)});
    writeRegisterSearchExport(exportFile(), print->rows);
    listed_ = print->rows.size();
    last_ = print;
    std::vector<SearchResultRow> found;
    found.reserve(print->rows.size());
    for (const RegisterSearchRow& row : print->rows)
        found.push_back({{row.fields.begin(), row.fields.end()}, row.struckOut});
    results_.assign(kRegisterSearchHeader, std::move(found));
    setValue("LESPORTA", "");
    services().showReport({print->caption, PageOrientation::Landscape,
                           [print](PageCanvas& canvas) { drawRegisterSearch(canvas, *print); }});
    setValue("MITDES", "");
    setFocusAfterOpen("MDADA");
}

void RegisterSearchLogic::openFound(std::size_t shown) {
    if (!last_ || shown >= results_.size()) return;
    const RegisterSearchRow& row = last_->rows[results_.foundIndex(shown)];
    CommandContext view = context();
    view.mode = 'M';
    view.modify = true;
    view.correctionCancel = view.correctionModify = view.continuousEntry = false;
    view.workingYear = std::to_string(row.year);
    view.chosenRecord = row.record.NUMREC;
    view.selectedRecord = row.record;
    services().openWindow(movemententry::kViewWindow, view);
}

std::string RegisterSearchLogic::proposedExportName() const {
    const bool sent = criteria_.mode == 'c' || criteria_.mode == 's';
    const char letter = (criteria_.mode == 'C' || criteria_.mode == 'c') ? 'C' : 'S';
    return exportFileName(std::string(1, letter) + (sent ? "_INVIATI" : ""), exportNameDay(criteria_.from),
                          exportNameDay(criteria_.to));
}

bool RegisterSearchLogic::exportTo(const std::filesystem::path& file) {
    if (!last_) return false;
    try {
        writeRegisterSearchExport(file, last_->rows);
    } catch (const IoError& e) {
        prompt().information(std::string(kExportFailed) + e.what());
        return false;
    }
    setValue("LESPORTA", std::string(kExportedPrefix) + file.string());
    return true;
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
