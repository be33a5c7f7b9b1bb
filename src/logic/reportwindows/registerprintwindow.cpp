#include "logic/reportwindows/registerprintwindow.h"

#include <algorithm>
#include <memory>

#include "core/reports/registerreports.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "core/tables/registers.h"
#include "logic/reportwindows/reportdates.h"

namespace accise {
namespace {

constexpr const char* kDateMask = "!99/99/0000;1;_";

std::string padded(std::string text, std::size_t width) {
    // Characters, not bytes: the descriptions hold no accented letters, but be exact.
    std::size_t chars = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++chars;
    if (chars < width) text.append(width - chars, ' ');
    return text;
}

} // namespace

RegisterPrintLogic::RegisterPrintLogic(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                       ReportViewer& viewer)
    : EntryFormLogic(ctx, prompt, services), viewer_(viewer) {
    addField({"RTIPO"});
    addField(FieldSpec("MDADA").withMask(kDateMask));
    addField(FieldSpec("MDAAL").withMask(kDateMask));
    addField({"ELENCO"});
    addField({"MFOGLI", 5, LetterCase::AsTyped, KeyFilter::SignedInteger});
    addField({"IDAPAG", 5, LetterCase::AsTyped, KeyFilter::SignedInteger});
}

void RegisterPrintLogic::onOpen() {
    // The print mode stays what it was (the first one at the first showing).
    if (value("RTIPO").empty()) setValue("RTIPO", "0");
    setValue("MFOGLI", "");
    setValue("IDAPAG", "");
    setValue("MDAAL", todayText());
    setValue("MDADA", firstOfMonthText());
    buildList();
    setFocusAfterOpen("MDADA");
}

std::optional<std::string> RegisterPrintLogic::dateFailure() const {
    const auto from = reportDate(value("MDADA"));
    if (!from) return "MDADA";
    const auto to = reportDate(value("MDAAL"));
    if (!to || yearOf(*to) != yearOf(*from) || *to < *from) return "MDAAL";
    return std::nullopt;
}

void RegisterPrintLogic::buildList() {
    const std::string chosen = value("ELENCO");
    std::int32_t chosenNumber = -1;
    if (const int index = parseInteger(chosen); !chosen.empty() && index >= 0 && index < static_cast<int>(registers_.size()))
        chosenNumber = registers_[static_cast<std::size_t>(index)].number;
    registers_.clear();
    entries_.clear();
    if (!dateFailure()) {
        registers_ = registersValidOver(folders(), *parseDate(value("MDADA")), *parseDate(value("MDAAL")));
    }
    std::string index = "-1";
    for (std::size_t i = 0; i < registers_.size(); ++i) {
        const TableRecord& reg = registers_[i];
        entries_.push_back(padded(registerTypeDescription(reg), 20) + " " + reg.col[kRegProtocolCol] + " " +
                           reg.col[kRegTitleCol]);
        if (reg.number == chosenNumber) index = std::to_string(i);
    }
    writeRegisterList(folders(), registers_);
    setValue("ELENCO", index);
}

FocusMove RegisterPrintLogic::onLeave(std::string_view control) {
    if (control == "MDAAL") {
        if (auto failed = dateFailure()) return FocusMove::to(*failed);
        buildList();
    } else if (control == "MDADA" && !dateFailure()) {
        // A new start of the period changes which registers cover it.
        buildList();
    }
    return FocusMove::next();
}

std::optional<std::string> RegisterPrintLogic::onConfirmChecks() {
    if (auto failed = dateFailure()) return failed;
    RegisterPrintRequest r;
    r.firstPage = parseInteger(value("IDAPAG"));
    r.mode = static_cast<RegisterPrintMode>(std::clamp(parseInteger(value("RTIPO")), 0, 2));
    r.sheets = 1;
    if (r.mode == RegisterPrintMode::HeadingsOnly) {
        r.sheets = parseInteger(value("MFOGLI"));
        if (r.sheets < 1) return "MFOGLI";
    }
    const std::string chosen = value("ELENCO");
    const int index = chosen.empty() ? -1 : parseInteger(chosen);
    if (index < 0 || index >= static_cast<int>(registers_.size())) return "ELENCO";
    r.reg = registers_[static_cast<std::size_t>(index)];
    r.from = *parseDate(value("MDADA"));
    r.to = *parseDate(value("MDAAL"));
    request_ = r;
    return std::nullopt;
}

void RegisterPrintLogic::onSave() {
    RegisterPrintRequest r = request_;
    r.company = readCompany(folders()).value_or(blankAddress());
    trimAddress(r.company);
    request_ = r;
    auto content = std::make_shared<RegisterPrintContent>(readRegisterPrint(folders(), r));
    if (!content->warning.empty()) prompt().information(content->warning);
    viewer_.show({registerPrintTitle(r), PageOrientation::Landscape, [r, content](PageCanvas& canvas) { drawRegisterPrint(canvas, r, *content); }});
    // When the preview closes the cursor goes back to the start of the period.
    setFocusAfterOpen("MDADA");
}

} // namespace accise
