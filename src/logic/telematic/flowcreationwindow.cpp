#include "logic/telematic/flowcreationwindow.h"

#include <algorithm>

#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/flow/flowlist.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "logic/telematic/transmissionwindow.h"

namespace accise {

int nextFlowNumber(const std::array<std::string, 4>& applPaths, const std::string& userCode, double date) {
    return std::max(nextFlowProgressive(applPaths[2], userCode, date), nextFlowProgressive(applPaths[1], userCode, date));
}

std::string noFlowNumberLeftMessage(double date) {
    return "GIA' CREATI 99 FLUSSI DEL " + formatDate(date) +
           ", IL MASSIMO PER UN GIORNO: SCEGLIERE UN'ALTRA DATA DEL FLUSSO";
}

bool validFlowYear(const std::string& text, int& year) {
    if (text.size() != 4) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    year = std::stoi(text);
    return year >= 2008 && year <= 2060;
}

FlowCreationLogic::FlowCreationLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : EntryFormLogic(ctx, prompt, services) {
    addField(FieldSpec("LANNO", 4, LetterCase::AsTyped, KeyFilter::UnsignedDigits));
    addField(FieldSpec("CELENCO"));
    addField(FieldSpec("DATFLU", 10).withMask("!00/00/0000;1;_"));
    addField(FieldSpec("NUMFLU", 2, LetterCase::AsTyped, KeyFilter::SignedInteger));
    addField(FieldSpec("CFIRMA"));
}

std::filesystem::path FlowCreationLogic::signedPath() const {
    return std::filesystem::path(applPaths_[2]) / (fileName_ + ".p7m");
}

void FlowCreationLogic::onOpen() {
    applPaths_ = resolvedApplPaths(folders());
    folders().create();
    writeWholeFile(selectionFile(folders()), "");
    setValue("LFLUSSO", applPaths_[1]);
    setValue("DATFLU", formatDate(todayDayNumber()));
    setValue("NUMFLU", "");
    setValue("CFIRMA", "1");
    if (context().flowYear.empty()) context().flowYear = std::to_string(yearOf(todayDayNumber()));
    setValue("LANNO", context().flowYear);
    buildList();
    setFocusAfterOpen("DATFLU");
}

void FlowCreationLogic::buildList() {
    int year = 0;
    if (!validFlowYear(value("LANNO"), year)) {
        list_.clear();
        return;
    }
    FlowList built = buildFlowList(folders(), year, isAlcopp(context().company));
    list_.assign(std::move(built.lines), false);
    for (const std::string& warning : built.missingGuarantees) prompt().information(warning);
    list_.tickAll();
}

FocusMove FlowCreationLogic::onLeave(std::string_view control) {
    if (control == "LANNO") {
        context().flowYear = value("LANNO");
        int year = 0;
        if (!validFlowYear(value("LANNO"), year)) return FocusMove::to("LANNO");
        buildList();
    } else if (control == "DATFLU") {
        const auto date = parseDate(value("DATFLU"));
        if (!date) return FocusMove::to("DATFLU");
        // The progressive follows the signed flows of the day; a flow still waiting to
        // be signed counts too, so that the next flow does not overwrite it.
        const std::string user = trimmed(context().company.user_code);
        const int next = nextFlowNumber(applPaths_, user, *date);
        if (next > 99) {
            // Two digits in the name: a hundredth flow of the day has no name of its own.
            prompt().information(noFlowNumberLeftMessage(*date));
            setValue("NUMFLU", "");
            return FocusMove::to("DATFLU");
        }
        setValue("NUMFLU", std::to_string(next));
    }
    return FocusMove::next();
}

std::optional<std::string> FlowCreationLogic::onConfirmChecks() {
    if (list_.tickedLines().empty()) {
        prompt().information(kNothingTicked);
        return "CELENCO";
    }
    int year = 0;
    if (!validFlowYear(value("LANNO"), year)) return "LANNO";
    fileName_ = "ERRORE";
    replace_ = false;
    const std::int32_t number = parseInteger(value("NUMFLU"));
    if (number <= 0 || number > 99) {
        prompt().information(kFlowNumberHint); // never a silent refusal
        return "NUMFLU";
    }
    const auto date = parseDate(value("DATFLU"));
    if (!date) return "DATFLU";
    fileName_ = accise::flowFileName(trimmed(context().company.user_code), number, *date);
    if (flowNumberInUse(folders(), year, *date, number)) {
        prompt().information(flowNumberInUseMessage(fileName_));
        fileName_ = "ERRORE";
        return "NUMFLU";
    }
    if (fileExists(signedPath())) {
        prompt().information(kSignedFileReplaced);
        replace_ = true;
    }
    return std::nullopt;
}

void FlowCreationLogic::onSave() {
    FlowRequest request;
    request.year = std::stoi(value("LANNO"));
    request.number = parseInteger(value("NUMFLU"));
    request.date = *parseDate(value("DATFLU"));
    request.ticked = list_.tickedLines();
    request.signFolder = applPaths_[1];
    request.signedFolder = applPaths_[2];
    result_ = createFlow(folders(), context().company, request, lockPrompt_ ? *lockPrompt_ : prompt());
    if (!result_.refused.empty()) {
        // Nothing was marked; the window stays as it is for another number or selection.
        prompt().information(result_.refused);
        return;
    }

    if (!result_.leftOut.empty()) prompt().information(leftOutMessage(result_.leftOut));
    if (result_.flowFile.empty()) {
        // Nothing could be carried: the clerk rebuilds the list and chooses again.
        buildList();
        return;
    }
    requestClose();
    if (value("CFIRMA") == "1") {
        if (services().startProgram(applPaths_[0])) {
            // The transmission window waits for the signed copy and sends it.
            context().flowFileName = result_.flowFile.filename().string();
            services().openWindow(kTransmissionWindow, context());
            return;
        }
        prompt().information(kSigningToolNotStarted + applPaths_[0]);
    }
    prompt().information("IL FLUSSO " + result_.flowFile.filename().string() +
                         " E' PRONTO PER LA FIRMA NELLA CARTELLA " + applPaths_[1]);
}

} // namespace accise
