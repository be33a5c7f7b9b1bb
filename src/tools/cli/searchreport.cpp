#include "cli/searchreport.h"

#include <algorithm>
#include <map>
#include <ostream>
#include <stdexcept>

#include "cli/commands.h"
#include "cli/reportpdf.h"
#include "core/files/ioerror.h"
#include "core/files/recordfile.h"
#include "core/tables/keyfilters.h"
#include "core/tables/company.h"
#include "logic/reportwindows/dutysearchwindow.h"
#include "logic/reportwindows/registersearchwindow.h"
#include "logic/reportwindows/stocksearchwindow.h"

namespace accise::cli {
namespace {

constexpr const char* kReportUsage =
    "uso: accise-cli report search DIR --from GG/MM/AAAA --to GG/MM/AAAA [--type C|S] [--sent] [--code CODICE]"
    " --csv FILE [--pdf FILE]\n"
    "     | report duty DIR --year AAAA --kind D|E|R [--from MM] [--to PP] [--sent] --csv FILE [--pdf FILE]\n"
    "     | report stock DIR --from GG/MM/AAAA --to GG/MM/AAAA --pdf FILE";

struct ReportUsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Options {
    std::string command, dir;
    std::map<std::string, std::string> valued;
    bool sent = false;

    std::string get(const std::string& name, const std::string& fallback = {}) const {
        const auto it = valued.find(name);
        return it == valued.end() ? fallback : it->second;
    }
    bool has(const std::string& name) const { return valued.contains(name); }
};

Options parse(const std::vector<std::string>& args) {
    static const std::vector<std::string> names = {"--from", "--to",  "--type", "--code",
                                                   "--csv",  "--pdf", "--year", "--kind"};
    Options o;
    if (args.size() < 2) throw ReportUsageError("manca il tipo di stampa (search, duty, stock)");
    o.command = args[1];
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--sent") {
            o.sent = true;
        } else if (std::find(names.begin(), names.end(), a) != names.end()) {
            if (i + 1 >= args.size()) throw ReportUsageError("manca il valore di " + a);
            o.valued[a] = args[++i];
        } else if (a.rfind("--", 0) == 0) {
            throw ReportUsageError("opzione sconosciuta: " + a);
        } else if (o.dir.empty()) {
            o.dir = a;
        } else {
            throw ReportUsageError("argomento in più: " + a);
        }
    }
    if (o.dir.empty()) throw ReportUsageError("manca la cartella");
    return o;
}

// Nobody is there to choose or to look: the reports go to the PDF file when one is asked.
class ReportServices : public FormServices {
public:
    explicit ReportServices(std::string pdf) : pdf_(std::move(pdf)) {}
    bool hasLookupList() const override { return false; }
    std::int32_t openLookupList(CommandContext&) override { return -1; }
    bool hasCodeEditor() const override { return false; }
    std::optional<std::string> addNewCode(CommandContext&) override { return std::nullopt; }
    void openAddress(const std::string&) override {}
    bool startProgram(const std::string&) override { return false; }
    void openFile(const std::string&) override {}
    void showReport(const ReportJob& job) override {
        if (!pdf_.empty() && !writePdf(pdf_, job)) throw IoError(pdf_, "impossibile scrivere il file PDF");
    }

private:
    std::string pdf_;
};

// Nothing asks: the searches show no message.
class SilentPrompt : public Prompt {
public:
    void information(const std::string&) override {}
    bool question(const std::string&) override { return false; }
};

void copyFile(const fs::path& from, const fs::path& to) {
    writeWholeFile(to, readRecords(from, 1, IfMissing::Empty).bytes());
}

// Types the values into the window and confirms it; the control whose check failed.
// A field whose keys become capitals as they are typed gets its text in capitals, as
// the keyboard would give it ("--code it00abc" finds IT00ABC).
std::optional<std::string> typeAndConfirm(EntryFormLogic& w, const std::vector<std::pair<const char*, std::string>>& values) {
    w.open();
    for (const auto& [control, text] : values) {
        const FieldSpec* declared = w.field(control);
        w.setValue(control, declared && declared->letterCase == LetterCase::Upper ? toUpperAscii(text) : text);
    }
    return w.confirm();
}

} // namespace

int searchReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        const Options o = parse(args);
        const std::string pdf = o.get("--pdf");
        if (!pdf.empty() && !pdfAvailable())
            throw ReportUsageError("questa versione di accise-cli non scrive file PDF (--pdf)");
        CommandContext ctx(Folders::of(o.dir));
        if (!fs::is_directory(ctx.folders.registers))
            throw IoError(ctx.folders.registers, "la cartella dei registri non esiste");
        SilentPrompt prompt;
        ReportServices services(pdf);

        if (o.command == "search") {
            const std::string type = o.get("--type", "C");
            if (type != "C" && type != "S") throw ReportUsageError("tipo di movimento non valido (C o S): " + type);
            if (!o.has("--csv")) throw ReportUsageError("manca il file CSV (--csv)");
            ctx.mode = o.sent ? static_cast<char>(type[0] - 'A' + 'a') : type[0];
            RegisterSearchLogic w(ctx, prompt, services);
            if (const auto failed =
                    typeAndConfirm(w, {{"MDADA", o.get("--from")}, {"MDAAL", o.get("--to")}, {"MITDES", o.get("--code")}}))
                throw ReportUsageError(*failed == "MDADA" ? "data iniziale non valida (GG/MM/AAAA, anni 2000-2100)"
                                                          : "data finale non valida o precedente a quella iniziale");
            copyFile(w.exportFile(), o.get("--csv"));
            out << w.listed() << "\n";
            return kOk;
        }
        if (o.command == "duty") {
            const std::string kind = o.get("--kind");
            const std::string kinds = "DER";
            if (kind.size() != 1 || kinds.find(kind) == std::string::npos)
                throw ReportUsageError("tipo di record non valido (D, E o R): " + kind);
            if (!o.has("--csv")) throw ReportUsageError("manca il file CSV (--csv)");
            if (const auto company = readCompany(ctx.folders)) ctx.alcopp = isAlcopp(*company);
            ctx.mode = o.sent ? 't' : 'T';
            DutySearchLogic w(ctx, prompt, services, static_cast<int>(kinds.find(kind)));
            std::string from = o.get("--from", "01");
            if (from.size() == 1) from = "0" + from;
            if (const auto failed = typeAndConfirm(w, {{"MDADA", from + "/" + o.get("--year")}, {"MDAAL", o.get("--to", "22")}}))
                throw ReportUsageError(*failed == "MDADA" ? "anno (2000-2100) o mese iniziale non validi"
                                                          : "periodo finale non valido (da 1 a 22, non prima del mese iniziale)");
            copyFile(w.exportFile(), o.get("--csv"));
            out << w.listed() << "\n";
            return kOk;
        }
        if (o.command == "stock") {
            if (pdf.empty()) throw ReportUsageError("manca il file PDF (--pdf)");
            StockSearchLogic w(ctx, prompt, services);
            if (const auto failed = typeAndConfirm(w, {{"MDADA", o.get("--from")}, {"MDAAL", o.get("--to")}}))
                throw ReportUsageError(*failed == "MDADA" ? "data iniziale non valida (GG/MM/AAAA, anni 2000-2100)"
                                                          : "data finale non valida o precedente a quella iniziale");
            out << w.listed() << "\n";
            return kOk;
        }
        throw ReportUsageError("tipo di stampa sconosciuto: " + o.command);
    } catch (const ReportUsageError& e) {
        err << "accise-cli: " << e.what() << "\n" << kReportUsage << "\n";
    } catch (const IoError& e) {
        err << "accise-cli: " << e.what() << "\n";
    }
    return kFailure;
}

} // namespace accise::cli
