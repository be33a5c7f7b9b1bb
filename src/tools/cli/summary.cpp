#include "cli/summary.h"

#include <cstdio>
#include <ostream>
#include <stdexcept>

#include "cli/commands.h"
#include "cli/windowrunner.h"
#include "core/files/ioerror.h"
#include "core/tables/numbers.h"
#include "logic/duty/excisesummaryday.h"
#include "logic/duty/excisesummaryperiod.h"

namespace accise::cli {
namespace {

constexpr const char* kSummaryUsage =
    "uso: accise-cli summary DIR --year AAAA --period PP | summary DIR --day GG/MM/AAAA";

struct SummaryUsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The window's messages, kept to be written on standard error.
class CollectingPrompt : public Prompt {
public:
    void information(const std::string& text) override { messages.push_back(text); }
    bool question(const std::string&) override { return false; }
    std::vector<std::string> messages;
};

struct Options {
    std::string dir, year, period, day;
};

Options parse(const std::vector<std::string>& args) {
    Options o;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string* target = a == "--year" ? &o.year : a == "--period" ? &o.period : a == "--day" ? &o.day : nullptr;
        if (target) {
            if (i + 1 >= args.size()) throw SummaryUsageError("manca il valore di " + a);
            *target = args[++i];
        } else if (a.rfind("--", 0) == 0) {
            throw SummaryUsageError("opzione sconosciuta: " + a);
        } else if (o.dir.empty()) {
            o.dir = a;
        } else {
            throw SummaryUsageError("argomento in più: " + a);
        }
    }
    if (o.dir.empty()) throw SummaryUsageError("manca la cartella");
    const bool byPeriod = !o.year.empty() || !o.period.empty();
    if (byPeriod == !o.day.empty()) throw SummaryUsageError("indicare --year e --period, oppure --day");
    if (byPeriod && (o.year.empty() || o.period.empty())) throw SummaryUsageError("indicare --year e --period");
    return o;
}

// Leaves a field as the clerk would after typing it; false when the window refuses it.
bool typeInto(EntryFormLogic& w, const char* control, const std::string& text) {
    w.setValue(control, text);
    return w.leave(control).proceed;
}

std::string twoDecimals(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

int report(const CollectingPrompt& prompt, std::ostream& err, int code) {
    for (const auto& m : prompt.messages) err << "accise-cli: " << m << "\n";
    return code;
}

} // namespace

int summary(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        const Options o = parse(args);
        CommandContext ctx(Folders::of(o.dir));
        if (!fs::is_directory(ctx.folders.registers))
            throw IoError(ctx.folders.registers, "la cartella dei registri non esiste");
        ctx.mode = 'I';
        CollectingPrompt prompt;
        NoWindows services;

        if (!o.day.empty()) {
            ctx.alcopp = true;
            ExciseSummaryDayLogic w(ctx, prompt, services);
            w.open();
            w.keyTyped();
            if (!typeInto(w, "DATMOV", o.day)) {
                if (prompt.messages.empty()) throw SummaryUsageError("data non valida (GG/MM/AAAA): " + o.day);
                return report(prompt, err, kProblems);
            }
            out << twoDecimals(parseDecimal(w.value("DOUBL1"), 2)) << "\n";
            return report(prompt, err, kOk);
        }

        ExciseSummaryPeriodLogic w(ctx, prompt, services);
        w.open();
        w.keyTyped();
        if (!typeInto(w, "ANNPRO", o.year)) throw SummaryUsageError("anno non valido (2008-2060): " + o.year);
        const bool accepted = typeInto(w, "CODPAE", o.period);
        if (!accepted && w.value("DOUBL4").empty()) {
            if (prompt.messages.empty()) throw SummaryUsageError("periodo non valido (01-11, 21, 22): " + o.period);
            return report(prompt, err, kProblems); // a summary of that period has been sent
        }
        out << twoDecimals(parseDecimal(w.value("DOUBL1"), 2)) << " " << twoDecimals(parseDecimal(w.value("DOUBL2"), 2))
            << " " << twoDecimals(parseDecimal(w.value("DOUBL3"), 2)) << " "
            << twoDecimals(parseDecimal(w.value("DOUBL4"), 2)) << "\n";
        // A negative total is shown, with the window's refusal on standard error.
        return report(prompt, err, accepted ? kOk : kProblems);
    } catch (const SummaryUsageError& e) {
        err << "accise-cli: " << e.what() << "\n" << kSummaryUsage << "\n";
    } catch (const IoError& e) {
        err << "accise-cli: " << e.what() << "\n";
    }
    return kFailure;
}

} // namespace accise::cli
