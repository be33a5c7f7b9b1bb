#include "logic/shell/commands.h"

#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"

namespace accise {
namespace {

void takeReadiness(const Readiness& r, CommandContext& ctx, Prompt& prompt) {
    ctx.alcopp = r.alcopp;
    ctx.company = r.company;
    for (const auto& message : r.messages)
        prompt.information(message);
}

void applyChangeFlags(ChangeFlags flags, CommandContext& ctx) {
    if (flags == ChangeFlags::Keep) return;
    ctx.modify = flags == ChangeFlags::Modify;
    ctx.correctionCancel = flags == ChangeFlags::CorrectionCancel;
    ctx.correctionModify = flags == ChangeFlags::CorrectionModify;
}

} // namespace

bool runReadinessCheck(CommandContext& ctx, Prompt& prompt) {
    const Readiness r = checkReadiness(ctx.folders);
    takeReadiness(r, ctx, prompt);
    return r.ready;
}

std::string refreshStatus(CommandContext& ctx, Prompt& prompt) {
    const StatusRefresh s = statusText(ctx.folders);
    takeReadiness(s.readiness, ctx, prompt);
    return s.text;
}

bool prepareCommand(const CommandEntry& entry, CommandContext& ctx, Prompt& prompt) {
    ctx.tag = entry.tag.value_or(0);
    applyChangeFlags(entry.flags, ctx);
    if (entry.continuousEntry) ctx.continuousEntry = *entry.continuousEntry;
    if (entry.mode) ctx.mode = *entry.mode;
    if (!entry.table.empty()) ctx.table = std::string(entry.table);
    if (entry.tableFromTag) {
        if (auto t = tableForTag(ctx.tag)) ctx.table = *t;
    }
    if (entry.setsFlowYear) ctx.flowYear = std::to_string(yearOf(todayDayNumber()));
    if (entry.ready) return runReadinessCheck(ctx, prompt);
    return true;
}

std::optional<std::string> sitesCommandRefusal(const Folders& folders) {
    const auto company = readCompany(folders);
    const std::string type = company ? trimmed(company->auth_type) : std::string();
    if (type == "1") return std::nullopt;
    if (type == "2") return std::string(kTaxWarehouseOnly);
    return std::string(kCompanyMissing);
}

std::string exciseSummaryWindow(const CommandContext& ctx) {
    return ctx.alcopp ? kExciseSummaryAlcopp : kExciseSummaryAlcoda;
}

std::string webAddress(const Folders& folders, int entry) {
    if (entry < 1 || entry > 8) return {};
    if (!fileExists(folders.webConfig())) return {};
    return trimmed(readWebConfig(folders)[static_cast<std::size_t>(entry - 1)]);
}

std::optional<LinkTarget> linkTarget(const Folders& folders, int tag) {
    if (tag == kFirmaVerificaTag) {
        if (!fileExists(folders.applConfig())) return std::nullopt;
        std::string path = trimmed(resolvedApplPaths(folders)[0]);
        if (path.empty()) return std::nullopt;
        return LinkTarget{LinkTarget::Program, std::move(path)};
    }
    std::string address = webAddress(folders, tag + 1);
    if (address.empty()) return std::nullopt;
    return LinkTarget{LinkTarget::WebAddress, std::move(address)};
}

std::string infoText(double programFileDay, std::string_view version) {
    return "Accise Birra versione " + std::string(version) + "\nultimo aggiornamento: " + formatDate(programFileDay);
}

} // namespace accise
