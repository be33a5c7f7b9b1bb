// accise-cli movements import: movements kept in other systems (deliveries, sales)
// typed into the movement window's own logic in insert mode, one JSON object per line,
// without a display. The window decides everything: checks, order, computations, save.
#include "cli/tasks.h"

#include <istream>
#include <map>
#include <ostream>
#include <vector>

#include "cli/cliprompt.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "cli/windowrunner.h"
#include "core/files/recordchecks.h"
#include "core/files/folders.h"
#include "core/files/ioerror.h"
#include "core/files/text1252.h"
#include "core/tables/company.h"
#include "core/tables/numbers.h"
#include "logic/movements/movemententry.h"

namespace accise::cli {

namespace fs = std::filesystem;

namespace {

// The keys of a line and the window's control that receives each.
const std::map<std::string, std::string>& controlsByKey() {
    static const std::map<std::string, std::string> controls = {
        {"TIPMOV", "TIPMOV"}, {"DATMOV", "DATMOV"}, {"TIPDOC", "TIPDOC"}, {"DATDOC", "DATDOC"},
        {"NUMDOC", "NUMDOC"}, {"NPRDAA", "NPRDAA"}, {"DOCCUM", "DOCCUM"}, {"NILODD", "NILODD"},
        {"NUMCPR", "NUMCPR"}, {"PRODAZ", "PRODAZ"}, {"PRODDO", "PRODDO"}, {"TIPSTO", "TIPSTO"},
        {"GRAPLA", "DOUBL5"}, {"CAUMOV", "CAUMOV"}, {"NUMCON", "INTER3"}, {"VOLUNI", "DOUBL6"},
        {"QTA", "DOUBL1_3"},  {"CONTIN", "INTER1"}, {"CONTFI", "INTER2"}, {"POSFIS", "POSFIS"},
        {"ACCISA", "DOUBL7"}, {"CODPAE", "CODPAE"}, {"MITDES", "MITDES"}, {"ANNOTA", "ANNOTA"},
    };
    return controls;
}

std::string keyOfControl(const std::string& control) {
    for (const auto& [key, c] : controlsByKey())
        if (c == control) return key;
    return control;
}

bool isDecimalControl(const std::string& control) { return control.rfind("DOUBL", 0) == 0; }

// A JSON value as the clerk would type it into the control.
std::string typedText(const std::string& control, const JsonValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        // In a decimal field a typed point becomes the decimal comma.
        if (isDecimalControl(control) && text->find(',') == std::string::npos) {
            std::string typed = *text;
            for (char& c : typed)
                if (c == '.') c = ',';
            return typed;
        }
        return *text;
    }
    if (const auto* number = std::get_if<double>(&value)) {
        if (isDecimalControl(control)) return formatNumber(*number, 0, kQuantityDecimals);
        return formatNumber(*number, 0, -1);
    }
    if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "S" : "N";
    return "";
}

struct LineOutcome {
    bool accepted = false;
    std::string field, message; // when refused
    Movement movement;          // when accepted
    std::int32_t NUMREC = 0, NUMOPE = 0;
};

LineOutcome importLine(const Folders& folders, bool alcopp, bool dryRun, const JsonObject& object,
                       WindowPrompt& prompt, NoWindows& services) {
    LineOutcome outcome;
    std::map<std::string, std::string> values;
    for (const auto& [key, value] : object) {
        const auto it = controlsByKey().find(key);
        if (it == controlsByKey().end()) {
            outcome.field = key;
            outcome.message = "campo sconosciuto";
            return outcome;
        }
        values[it->second] = typedText(it->second, value);
        // A line break or a TAB would end up in the record and break the flow that carries it.
        if (containsControlCharacter(values[it->second])) {
            outcome.field = key;
            outcome.message = "carattere non ammesso (a capo, TAB o altro carattere di controllo)";
            return outcome;
        }
    }

    CommandContext ctx(folders);
    ctx.alcopp = alcopp;
    ctx.continuousEntry = true;
    MovementEntryLogic window(ctx, prompt, services);
    window.open();
    const auto refuse = [&](const std::string& control) {
        const auto& refusal = window.refusal();
        outcome.field = keyOfControl(refusal ? refusal->control : control);
        outcome.message = refusal ? refusal->message : std::string(movemententry::kInvalidValue);
        return outcome;
    };
    if (const auto back = window.typeFields(values)) return refuse(*back);
    if (const auto failed = window.confirmChecks()) return refuse(*failed);
    outcome.movement = window.movement();
    if (!dryRun) {
        window.confirmPressed();
        const auto& saved = window.lastSave();
        if (!saved || saved->outcome != SaveOutcome::Saved) return refuse("PRODDO");
        outcome.NUMREC = saved->NUMREC;
        outcome.NUMOPE = saved->NUMOPE;
    }
    outcome.accepted = true;
    return outcome;
}

} // namespace

int importMovements(const fs::path& working, bool dryRun, std::chrono::milliseconds wait, std::istream& in,
                    std::ostream& out, std::ostream& err) {
    const Folders folders = Folders::of(working);
    if (!fs::is_directory(folders.registers)) throw IoError(folders.registers, "la cartella dei registri non esiste");
    const auto company = readCompany(folders);
    const bool alcopp = company && isAlcopp(*company);

    WaitingPrompt waiting(err, wait);
    NoWindows services;
    bool refused = false;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (trimmed(line).empty()) continue;
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        JsonObject object;
        try {
            object = parseJsonObject(line);
        } catch (const JsonError& e) {
            err << where << "JSON: " << e.what() << "\n";
            refused = true;
            continue;
        }
        WindowPrompt prompt(waiting);
        waiting.startOperation(folders.registers);
        const LineOutcome r = importLine(folders, alcopp, dryRun, object, prompt, services);
        if (!r.accepted) {
            err << where << r.field << ": " << r.message << "\n";
            refused = true;
            continue;
        }
        // Warnings that do not refuse the movement (a low Plato degree, a document already there).
        for (const std::string& message : prompt.messages) err << where << "avviso: " << message << "\n";
        const Movement& m = r.movement;
        out << r.NUMREC << " " << r.NUMOPE << " " << trimmed(m.TIPREG) << " " << trimmed(m.NUMPRO) << " "
            << formatNumber(m.ETTOGR, 0, kQuantityDecimals) << " " << formatNumber(m.ACCISA, 0, kAmountDecimals) << " "
            << formatNumber(m.GARANZ, 0, kAmountDecimals) << "\n"
            << std::flush;
    }
    return refused ? kProblems : kOk;
}

} // namespace accise::cli
