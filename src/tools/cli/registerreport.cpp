#include "cli/registerreport.h"

#include <algorithm>
#include <map>
#include <ostream>
#include <stdexcept>

#include "cli/commands.h"
#include "cli/windowrunner.h"
#include "core/files/ioerror.h"
#include "core/reports/registerreports.h"
#include "logic/reportwindows/registerprintwindow.h"
#include "logic/reportwindows/registertotalswindow.h"

#include "cli/reportpdf.h"

namespace accise::cli {
namespace {

constexpr const char* kReportUsage =
    "uso: accise-cli report register DIR --type M|L|F|N --year AAAA --protocol NUMPRO --from GG/MM/AAAA\n"
    "                 --to GG/MM/AAAA --pdf FILE [--headings-only [--sheets N] | --movements-only]\n"
    "                 [--first-page N]\n"
    "     | report totals DIR --date GG/MM/AAAA --pdf FILE";

struct ReportUsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// The selection is refused as the window would refuse it (exit status 1).
struct Refused : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Options {
    std::string sub, dir;
    std::map<std::string, std::string> values;
    bool has(const std::string& o) const { return values.count(o) != 0; }
    std::string get(const std::string& o) const {
        auto it = values.find(o);
        if (it == values.end()) throw ReportUsageError("manca " + o);
        return it->second;
    }
};

Options parse(const std::vector<std::string>& args) {
    static const std::vector<std::string> valued = {"--type", "--year", "--protocol", "--from", "--to",
                                                    "--pdf",  "--sheets", "--first-page", "--date"};
    static const std::vector<std::string> flags = {"--headings-only", "--movements-only"};
    Options o;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (std::find(valued.begin(), valued.end(), a) != valued.end()) {
            if (i + 1 >= args.size()) throw ReportUsageError("manca il valore di " + a);
            o.values[a] = args[++i];
        } else if (std::find(flags.begin(), flags.end(), a) != flags.end()) {
            o.values[a] = "";
        } else if (a.rfind("--", 0) == 0) {
            throw ReportUsageError("opzione sconosciuta: " + a);
        } else if (o.sub.empty()) {
            o.sub = a;
        } else if (o.dir.empty()) {
            o.dir = a;
        } else {
            throw ReportUsageError("argomento in più: " + a);
        }
    }
    if (o.sub != "register" && o.sub != "totals") throw ReportUsageError("sottocomando sconosciuto: " + o.sub);
    if (o.dir.empty()) throw ReportUsageError("manca la cartella");
    return o;
}

class CollectingPrompt : public Prompt {
public:
    void information(const std::string& text) override { messages.push_back(text); }
    bool question(const std::string&) override { return false; }
    std::vector<std::string> messages;
};

// Writes the report the window prepared into the PDF file.
class PdfViewer : public ReportViewer {
public:
    explicit PdfViewer(std::string file) : file_(std::move(file)) {}
    void show(const ReportJob& job) override {
        if (!pdfAvailable())
            throw IoError(file_, "la stampa in PDF non è disponibile in questa versione del programma (senza Qt)");
        if (!writePdf(file_, job)) throw IoError(file_, "il file PDF non si può scrivere");
        written = true;
    }
    bool written = false;

private:
    std::string file_;
};

// Types a date as the clerk would and leaves the field; a refusal names the field the
// window sends the cursor back to.
void type(EntryFormLogic& w, const char* control, const std::string& text) {
    w.setValue(control, text);
    const FocusMove move = w.leave(control);
    if (move.proceed) return;
    if (move.control == "MDADA") throw Refused("data iniziale non valida (GG/MM/AAAA, anni 2000-2100): " + w.value("MDADA"));
    if (std::string(control) == "MDAAL" && w.field("MDADA"))
        throw Refused("data finale non valida (GG/MM/AAAA, nello stesso anno della data iniziale e non prima): " + text);
    throw Refused("data non valida (GG/MM/AAAA, anni 2000-2100): " + text);
}

int printRegister(const Options& o, CommandContext& ctx, CollectingPrompt& prompt, PdfViewer& viewer) {
    NoWindows services;
    RegisterPrintLogic w(ctx, prompt, services, viewer);
    w.open();
    w.keyTyped();
    const std::string mode = o.has("--headings-only") ? "2" : o.has("--movements-only") ? "1" : "0";
    if (o.has("--headings-only") && o.has("--movements-only"))
        throw ReportUsageError("--headings-only e --movements-only si escludono");
    w.setValue("RTIPO", mode);
    type(w, "MDADA", o.get("--from"));
    type(w, "MDAAL", o.get("--to"));
    const std::string tipreg = o.get("--type"), year = o.get("--year"), protocol = o.get("--protocol");
    int chosen = -1;
    const auto& listed = w.listedRegisters();
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const RegisterKey key = registerKeyOf(listed[i]);
        if (key.TIPREG == tipreg && key.ANNPRO == year && key.NUMPRO == protocol) chosen = static_cast<int>(i);
    }
    w.setValue("ELENCO", std::to_string(chosen));
    w.setValue("MFOGLI", o.has("--sheets") ? o.get("--sheets") : "1");
    if (o.has("--first-page")) w.setValue("IDAPAG", o.get("--first-page"));
    if (const auto failed = w.confirm()) {
        if (*failed == "ELENCO")
            throw Refused("nessun registro " + tipreg + " " + protocol + "/" + year +
                          " vidimato per tutto il periodo dal " + o.get("--from") + " al " + o.get("--to"));
        if (*failed == "MFOGLI") throw Refused("numero dei fogli non valido (almeno 1): " + w.value("MFOGLI"));
        throw Refused("selezione non valida (" + *failed + ")");
    }
    return kOk;
}

int printTotals(const Options& o, CommandContext& ctx, CollectingPrompt& prompt, PdfViewer& viewer) {
    NoWindows services;
    RegisterTotalsLogic w(ctx, prompt, services, viewer);
    w.open();
    w.keyTyped();
    type(w, "MDAAL", o.get("--date"));
    if (w.confirm()) throw Refused("data non valida: " + o.get("--date"));
    return kOk;
}

} // namespace

int registerReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CollectingPrompt prompt;
    auto warnings = [&] {
        for (const auto& m : prompt.messages) err << "accise-cli: avviso: " << m << "\n";
    };
    try {
        const Options o = parse(args);
        CommandContext ctx(Folders::of(o.dir));
        if (!fs::is_directory(ctx.folders.registers))
            throw IoError(ctx.folders.registers, "la cartella dei registri non esiste");
        PdfViewer viewer(o.get("--pdf"));
        if (o.sub == "register") printRegister(o, ctx, prompt, viewer);
        else printTotals(o, ctx, prompt, viewer);
        warnings();
        out << o.get("--pdf") << "\n";
        return kOk;
    } catch (const ReportUsageError& e) {
        err << "accise-cli: " << e.what() << "\n" << kReportUsage << "\n";
    } catch (const Refused& e) {
        warnings();
        err << "accise-cli: " << e.what() << "\n";
        return kProblems;
    } catch (const IoError& e) {
        warnings();
        err << "accise-cli: " << e.what() << "\n";
    }
    return kFailure;
}

} // namespace accise::cli
