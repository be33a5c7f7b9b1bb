#include "logic/telematic/flowreactivationwindow.h"

#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/flow/flowcreation.h"
#include "core/flow/flowlist.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "logic/telematic/flowcreationwindow.h"

namespace accise {

FlowReactivationLogic::FlowReactivationLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : EntryFormLogic(ctx, prompt, services) {
    addField(FieldSpec("LANNO", 4, LetterCase::AsTyped, KeyFilter::UnsignedDigits));
    addField(FieldSpec("MDARI", 10).withMask("!99/99/0000;1;_"));
    addField(FieldSpec("INUCO", 4, LetterCase::AsTyped, KeyFilter::SignedInteger));
    addField(FieldSpec("CELENCO"));
    addField(FieldSpec("ECONF", 2, LetterCase::Upper));
}

void FlowReactivationLogic::lastFlowOfToday() {
    // Created flows count whether signed or not: an unsigned one is the usual reason to reactivate.
    const int n = nextFlowNumber(resolvedApplPaths(folders()), trimmed(context().company.user_code), todayDayNumber()) - 1;
    setValue("INUCO", n < 1 ? "" : std::to_string(n));
}

void FlowReactivationLogic::onOpen() {
    folders().create();
    writeWholeFile(reactivationFile(folders()), "");
    list_.clear();
    reactivated_ = 0;
    setValue("ECONF", "");
    if (context().flowYear.empty()) context().flowYear = std::to_string(yearOf(todayDayNumber()));
    setValue("LANNO", context().flowYear);
    flowDate_ = todayDayNumber();
    if (context().reactivationFlowDate > 0) {
        // Chosen in the sent flows list: that flow, not today's last.
        flowDate_ = context().reactivationFlowDate;
        setValue("MDARI", formatDate(flowDate_));
        setValue("INUCO", std::to_string(context().reactivationFlowNumber));
        context().reactivationFlowDate = 0;
        context().reactivationFlowNumber = 0;
    } else {
        setValue("MDARI", formatDate(flowDate_));
        lastFlowOfToday();
    }
    if (value("INUCO").empty()) {
        setFocusAfterOpen("MDARI");
        return;
    }
    buildList();
    setFocusAfterOpen("CELENCO");
}

void FlowReactivationLogic::buildList() {
    if (const auto date = parseDate(value("MDARI"))) flowDate_ = *date;
    context().flowYear = value("LANNO");
    int year = 0;
    list_.clear();
    if (!validFlowYear(value("LANNO"), year)) return;
    const bool alcopp = isAlcopp(context().company);
    list_.assign(buildReactivationList(folders(), year, flowDate_, parseInteger(value("INUCO")), alcopp), true);
}

FocusMove FlowReactivationLogic::onLeave(std::string_view control) {
    if (control == "LANNO") {
        context().flowYear = value("LANNO");
        int year = 0;
        if (!validFlowYear(value("LANNO"), year)) return FocusMove::to("LANNO");
        buildList();
    } else if (control == "MDARI") {
        if (!parseDate(value("MDARI"))) return FocusMove::to("MDARI");
        lastFlowOfToday();
        buildList();
    } else if (control == "INUCO") {
        buildList();
    } else if (control == "ECONF") {
        return reactivate();
    }
    return FocusMove::next();
}

FocusMove FlowReactivationLogic::reactivate() {
    if (trimmed(value("ECONF")) != "SI") return FocusMove::to("CELENCO");
    int year = 0;
    if (!validFlowYear(value("LANNO"), year)) return FocusMove::to("LANNO");
    reactivated_ = 0;
    try {
        reactivateFlowRecords(folders(), year, list_.tickedLines(), lockPrompt_ ? *lockPrompt_ : prompt(),
                              reactivated_);
    } catch (...) {
        if (reactivated_ > 0) prompt().information(kReactivationDone);
        requestClose();
        throw;
    }
    if (reactivated_ > 0) prompt().information(kReactivationDone);
    requestClose();
    return FocusMove::next();
}

} // namespace accise
