#include "logic/telematic/transmissionwindow.h"

#include <chrono>
#include <thread>

#include "core/files/ioerror.h"
#include "core/files/platform.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/flow/agencysoap.h"
#include "core/flow/flowhistory.h"
#include "core/flow/outcomereport.h"
#include "core/flow/sentflows.h"
#include "core/tables/dates.h"

namespace accise {

namespace {

constexpr int kOutcomeAttempts = 3;
constexpr int kFirstPauseSeconds = 2;

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// The registration number of the last header line of a report ("" when none).
std::string registrationOf(const std::vector<std::string>& lines) {
    static const std::string label = "N\u00B0 REGISTRAZIONE DEL FILE: ";
    std::string number;
    for (const std::string& line : lines)
        if (line.rfind(label, 0) == 0) number = trimmed(line.substr(label.size()));
    for (char& c : number)
        if (c == ' ') c = '_';
    return number.empty() ? "-" : number;
}

bool validFlowYearText(const std::string& text, int& year) {
    if (text.size() != 4) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    year = std::stoi(text);
    return true;
}

} // namespace

std::string attemptMessage(int attempt) {
    return "Tentativo di connessione N. " + std::to_string(attempt) +
           ", verifica la disponibilità del sito delle dogane";
}

TransmissionLogic::TransmissionLogic(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                     AgencyService& agency)
    : EntryFormLogic(ctx, prompt, services), agency_(agency),
      pause_([](int seconds) { std::this_thread::sleep_for(std::chrono::seconds(seconds)); }) {
    addField(FieldSpec("GAMBIENTE"));
    addField(FieldSpec("RICHED").shownOnly());
}

std::filesystem::path TransmissionLogic::signedPath() const {
    return std::filesystem::path(applPaths_[2]) / (context().flowFileName + ".p7m");
}

void TransmissionLogic::onOpen() {
    applPaths_ = resolvedApplPaths(folders());
    folders().create();
    signed_ = sent_ = abandoned_ = false;
    waiting_ = choiceShown_ = false;
    count_ = 0;
    report_.clear();
    outcome_.clear();
    setValue("Label2", context().flowFileName);
    setValue("Label4", "");
    setValue("GAMBIENTE", "");
    setValue("RICHED", "");
    setFocusAfterOpen("RICHED");
}

void TransmissionLogic::startWaitPass() {
    if (waiting_ || abandoned_) return;
    waiting_ = true;
    count_ = 1;
    setValue("Label4", signedPath().string() + " - " + std::to_string(count_));
}

void TransmissionLogic::secondElapsed() {
    if (!waiting_) return;
    if (fileExists(signedPath())) {
        signed_ = true;
        choiceShown_ = true;
        waiting_ = false;
        return;
    }
    ++count_;
    setValue("Label4", signedPath().string() + " - " + std::to_string(count_));
}

void TransmissionLogic::abandonWindow() {
    abandoned_ = true;
    waiting_ = false;
    abandon();
}

void TransmissionLogic::queryEdi() {
    const WebAddresses web = readWebConfig(folders());
    services().openAddress(context().realEnvironmentLast ? web[3] : web[5]);
}

std::optional<std::string> TransmissionLogic::onConfirmChecks() {
    if (sent_) {
        prompt().information(kAlreadySent);
        return "RICHED";
    }
    if (!signed_) {
        prompt().information(kNotSigned);
        return "RICHED";
    }
    if (value("GAMBIENTE").empty()) {
        prompt().information(kNoEnvironment);
        return "GAMBIENTE";
    }
    if (value("GAMBIENTE") == kReal) {
        if (const std::string problem = realEnvironmentProblem(readServiceSettings(folders())); !problem.empty()) {
            prompt().information(problem);
            return "GAMBIENTE";
        }
    }
    return std::nullopt;
}

void TransmissionLogic::onSave() {
    showReport({});
    if (value("GAMBIENTE") == kTest) {
        context().realEnvironmentLast = false;
        if (sendSigned(AgencyEnvironment::Test)) {
            const std::string outcome = requestOutcome(AgencyEnvironment::Test);
            if (!outcomeArrived_)
                prompt().information(kOutcomeNotYet);
            else if (outcome.find("NEGATIVO") != std::string::npos)
                prompt().information(kFileHasErrors);
            else if (prompt().okOrNo(kAcceptedInTest))
                setValue("GAMBIENTE", kReal);
        }
    }
    if (value("GAMBIENTE") == kReal) {
        // Checked again at the moment of sending: the file may have been edited since.
        if (const std::string problem = realEnvironmentProblem(readServiceSettings(folders())); !problem.empty()) {
            prompt().information(problem);
            return;
        }
        showReport({});
        context().realEnvironmentLast = true;
        sent_ = sendSigned(AgencyEnvironment::Real);
        if (sent_) {
            requestOutcome(AgencyEnvironment::Real);
            if (!outcomeArrived_) prompt().information(kOutcomeNotYet);
        }
    }
}

std::string TransmissionLogic::askOutcomeAgain(AgencyEnvironment environment) {
    const std::string outcome = requestOutcome(environment);
    if (!outcomeArrived_) prompt().information(kOutcomeNotYet);
    return outcome;
}

std::optional<AgencyCredentials> TransmissionLogic::credentials() const {
    const std::string user = trimmed(context().company.street2);
    if (!usesHttpCredentials(user)) return std::nullopt;
    return AgencyCredentials{user, trimmed(context().company.city2)};
}

bool TransmissionLogic::sendSigned(AgencyEnvironment environment) {
    const std::filesystem::path file = signedPath();
    // The signed file may have been moved or removed since it was seen: the clerk is
    // told, and the wait for it starts again when the window is active.
    if (!fileExists(file)) {
        signed_ = false;
        prompt().information(kSignedFileGone + file.string());
        return false;
    }
    std::string content;
    try {
        content = readRecords(file, 1, IfMissing::Empty).bytes();
    } catch (const IoError& error) {
        prompt().information(kSignedFileUnreadable + std::string(error.what()));
        return false;
    }
    if (content.empty() && !fileExists(file)) {
        signed_ = false;
        prompt().information(kSignedFileGone + file.string());
        return false;
    }
    const AgencyReply reply = agency_.put(environment, credentials(), file.filename().string(), content);
    const std::string text = reply.ok ? reply.text : "ERRORE";
    if (!reply.ok) {
        showReport({"ERRORE DI TRASMISSIONE: " + reply.error});
        prompt().information(kConnectionError);
    }
    prompt().information(kServiceAnswer + text);
    const bool taken = reply.ok && text.find("successo") != std::string::npos;
    if (taken) {
        const ServiceSettings settings = readServiceSettings(folders());
        recordEvent("INVIO", environment, settings.host(environment) + ":" + std::to_string(settings.port(environment)));
    }
    return taken;
}

std::string TransmissionLogic::requestOutcome(AgencyEnvironment environment) {
    std::string outcome = kOutcomeMissing;
    const std::string outcomeName = outcomeFileName(signedPath().filename().string());
    const std::filesystem::path attachment = folders().inTemp(outcomeName);
    platform::removeFile(attachment);
    const std::filesystem::path reportFile = folders().inTemp(kReportFile);
    std::vector<std::string> lines = {kDetailsMissing1, kDetailsMissing2};
    writeWholeFile(reportFile, reportFileText(lines));

    AgencyReply reply;
    for (int attempt = 1; attempt <= kOutcomeAttempts; ++attempt) {
        // A pause that grows before each further attempt: the outcome is prepared
        // a little after the file is received.
        if (attempt > 1 && pause_) pause_(kFirstPauseSeconds << (attempt - 2));
        reply = agency_.get(environment, credentials(), outcomeName);
        if (reply.ok) break;
        prompt().information(attemptMessage(attempt));
    }
    outcomeArrived_ = reply.ok && reply.attachment.has_value();
    signed_ = false;
    if (reply.ok && reply.attachment) {
        writeWholeFile(attachment, *reply.attachment);
        const OutcomeReport report = buildOutcomeReport(*reply.attachment);
        if (report.headerFound) signed_ = true;
        outcome = report.outcome;
        recordEvent("ESITO", environment, registrationOf(report.lines) + " " + report.outcome);
        writeWholeFile(reportFile, reportFileText(report.lines));
    } else {
        // What went wrong stays on the report below the two lines the clerk expects.
        lines.push_back(reply.ok ? " -- IL WEBSERVICE NON HA CONSEGNATO IL FILE DI ESITO -- "
                                 : " -- ULTIMO ERRORE: " + reply.error + " -- ");
        recordEvent("ATTESA", environment, "");
        writeWholeFile(reportFile, reportFileText(lines));
    }
    showReport(splitLines(decode1252(readRecords(reportFile, 1, IfMissing::Empty).bytes())));
    outcome_ = outcome;
    return outcome;
}

void TransmissionLogic::recordEvent(const char* event, AgencyEnvironment environment, const std::string& detail) {
    const std::string user = trimmed(context().company.user_code);
    int year = 0;
    double date = 0;
    if (validFlowYearText(context().flowYear, year)) date = flowDateOfName(folders(), year, user, context().flowFileName);
    if (date == 0) date = flowDateOfName(folders(), yearOf(todayDayNumber()), user, context().flowFileName);
    SentFlowEvent e;
    e.flowName = context().flowFileName;
    e.flowDate = date;
    e.event = event;
    e.environment = environment == AgencyEnvironment::Real ? 'R' : 'P';
    e.when = eventTimeNow();
    e.detail = detail;
    appendSentFlowEvent(folders(), e, prompt());
}

void TransmissionLogic::showReport(const std::vector<std::string>& lines) {
    report_ = lines;
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) text += '\n';
        text += lines[i];
    }
    setValue("RICHED", text);
}

} // namespace accise
