#include "logic/telematic/flowhistorywindow.h"

#include "core/files/platform.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/flow/agencysoap.h"
#include "core/flow/outcomereport.h"
#include "core/flow/sentflows.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "logic/telematic/flowreactivationwindow.h"
#include "logic/telematic/transmissionwindow.h"

namespace accise {
namespace {

constexpr const char* kReactivationWindow = "AAZZDATIFLUSSO";

bool validYear(const std::string& text) {
    if (text.size() != 4) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return std::stoi(text) >= 1900;
}

} // namespace

FlowHistoryLogic::FlowHistoryLogic(CommandContext& ctx, Prompt& prompt, FormServices& services, AgencyService& agency)
    : ctx_(ctx), prompt_(prompt), services_(services), agency_(agency) {}

std::vector<std::string> FlowHistoryLogic::columnTitles() {
    return {"Flusso", "Data", "C", "D", "E", "F", "R", "Firmato", "Inviato", "N° registrazione", "Esito"};
}

void FlowHistoryLogic::open() {
    year_ = validYear(ctx_.flowYear) ? ctx_.flowYear : std::to_string(yearOf(todayDayNumber()));
    details_.clear();
    errors_.clear();
    reload();
}

bool FlowHistoryLogic::setYear(const std::string& year) {
    if (!validYear(trimmed(year))) {
        prompt_.information(kFlowHistoryYearInvalid);
        return false;
    }
    year_ = trimmed(year);
    ctx_.flowYear = year_;
    details_.clear();
    errors_.clear();
    reload();
    return true;
}

void FlowHistoryLogic::reload() {
    rows_ = buildFlowHistory(ctx_.folders, std::stoi(year_), trimmed(ctx_.company.user_code),
                             resolvedApplPaths(ctx_.folders));
}

std::vector<std::string> FlowHistoryLogic::rowTexts(std::size_t index) const {
    const FlowHistoryRow* row = rowAt(index);
    if (!row) return {};
    std::vector<std::string> texts = {row->name, formatDate(row->date)};
    for (int n : row->counts.byKind) texts.push_back(std::to_string(n));
    texts.push_back(row->signedFile ? "SI" : row->flowFile ? "NO" : "MANCANTE");
    texts.push_back(row->sentReal && row->sentTest ? "PROVA+REALE" : row->sentReal ? "REALE" : row->sentTest ? "PROVA" : "NO");
    texts.push_back(row->registration);
    texts.push_back(row->outcome);
    return texts;
}

const FlowHistoryRow* FlowHistoryLogic::rowAt(std::size_t row) const {
    if (row >= rows_.size()) {
        prompt_.information(kNoFlowChosen);
        return nullptr;
    }
    return &rows_[row];
}

void FlowHistoryLogic::send(std::size_t index) {
    const FlowHistoryRow* row = rowAt(index);
    if (!row) return;
    if (!row->signedFile) {
        prompt_.information(kNotSigned);
        return;
    }
    ctx_.flowFileName = row->name;
    ctx_.flowYear = year_;
    services_.openWindow(kTransmissionWindow, ctx_);
    reload();
}

void FlowHistoryLogic::askOutcome(std::size_t index) {
    const FlowHistoryRow* row = rowAt(index);
    if (!row) return;
    if (!row->sentTest && !row->sentReal) {
        prompt_.information(kFlowNeverSent);
        return;
    }
    // The environment of the flow's last send.
    AgencyEnvironment environment = row->sentReal ? AgencyEnvironment::Real : AgencyEnvironment::Test;
    for (const SentFlowEvent& e : readSentFlowEvents(ctx_.folders))
        if (e.flowName == row->name && e.event == "INVIO")
            environment = e.environment == 'R' ? AgencyEnvironment::Real : AgencyEnvironment::Test;
    const FlowHistoryRow chosen = *row;
    CommandContext ctx = ctx_;
    ctx.flowFileName = chosen.name;
    ctx.flowYear = year_;
    TransmissionLogic window(ctx, prompt_, services_, agency_);
    if (pause_) window.setPause(pause_);
    window.open();
    window.askOutcomeAgain(environment);
    reload();
    if (!readOutcome(chosen)) details_ = window.reportLines();
}

void FlowHistoryLogic::showOutcome(std::size_t index) {
    const FlowHistoryRow* row = rowAt(index);
    if (!row) return;
    if (!readOutcome(*row)) prompt_.information(kNoOutcomeYet);
}

bool FlowHistoryLogic::readOutcome(const FlowHistoryRow& row) {
    details_.clear();
    errors_.clear();
    const fs::path file = ctx_.folders.inTemp(outcomeFileName(row.name + ".p7m"));
    if (!fileExists(file)) return false;
    const std::string bytes = readRecords(file, 1, IfMissing::Empty).bytes();
    details_ = buildOutcomeReport(bytes).lines;
    errors_ = outcomeErrorLines(bytes);
    if (errors_.empty()) return true;
    const ApplPaths paths = resolvedApplPaths(ctx_.folders);
    const fs::path flowFile = fs::path(paths[1]) / row.name;
    const std::string flowBytes = fileExists(flowFile) ? readRecords(flowFile, 1, IfMissing::Empty).bytes() : "";
    attachErrorRecords(errors_, flowBytes, ctx_.folders, std::stoi(year_), row.date, row.number, ctx_.company);
    details_.push_back("");
    details_.push_back("RECORD SCARTATI (da correggere prima di riattivare il flusso):");
    for (const OutcomeErrorLine& e : errors_) {
        details_.push_back("E " + e.text);
        if (!e.record.empty()) details_.push_back("    -> " + e.record);
        else if (e.flowLine == 1 || e.flowLine == 2) details_.push_back("    -> riga di testata del flusso");
        else if (e.flowLine > 0) details_.push_back("    -> nessun record del flusso corrisponde alla riga " +
                                                    std::to_string(e.flowLine));
        else details_.push_back("    -> l'errore riguarda tutto il flusso");
    }
    return true;
}

void FlowHistoryLogic::reactivate(std::size_t index) {
    const FlowHistoryRow* row = rowAt(index);
    if (!row) return;
    ctx_.flowYear = year_;
    ctx_.reactivationFlowDate = row->date;
    ctx_.reactivationFlowNumber = row->number;
    services_.openWindow(kReactivationWindow, ctx_);
    ctx_.reactivationFlowDate = 0;
    ctx_.reactivationFlowNumber = 0;
    reload();
}

} // namespace accise
