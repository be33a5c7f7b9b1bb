#include "logic/shell/dashboard.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "core/duty/dutyrecords.h"
#include "core/files/binary.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/flow/agencysoap.h"
#include "core/flow/outcomereport.h"
#include "core/flow/sentflows.h"
#include "core/records/movement.h"
#include "core/records/movementview.h"
#include "core/reports/registerreports.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "core/tables/registers.h"
#include "logic/shell/dashboarddeadlines.h"

namespace accise {
namespace {

namespace off = movement_offset;

std::string trimmedText(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// One register valid today, followed through the one pass over the year's file.
struct RegisterTrack {
    RegisterStanding standing;
    char tipreg;
    std::string annpro, numpro; // padded as stored
    RegisterStockSum stock;

    bool holds(const MovementView& r) const {
        return r.TIPREG() == tipreg && r.fieldEquals(off::ANNPRO, 4, annpro) && r.fieldEquals(off::NUMPRO, 10, numpro);
    }
};

// An active load or unload: what the stock counts and the last movement shows.
bool isActiveLoadOrUnload(const MovementView& r) {
    const char tipmov = r.TIPMOV();
    return (tipmov == 'C' || tipmov == 'S') && r.TIPOPE() == 'I' && r.STATO() != 'C';
}

void noteUnsent(UnsentStanding& kind, double day) {
    ++kind.count;
    const double whole = std::round(day);
    if (kind.oldest == 0 || (whole != 0 && whole < kind.oldest)) kind.oldest = whole;
}

// The latest flow any record carries: by date, then by number.
void noteFlow(LastFlowStanding& flow, std::string_view bytes) {
    const MovementView r(bytes);
    if (r.NUMFLU() == 0) return;
    const double date = std::round(binary::getDouble(bytes.data() + off::DATFLU));
    if (!flow.any || date > flow.date || (date == flow.date && r.NUMFLU() > flow.number)) {
        flow.any = true;
        flow.date = date;
        flow.number = r.NUMFLU();
    }
}

// The excise summary window's figures (summarisePeriod, summariseDay), summed in the
// dashboard's one pass over the year's files: those functions decode every record of
// the year, which on a busy year costs many times the read. Here the same rule
// (isTaxedMovement, the day's document types) is read from the stored fields; the
// tests hold the two computations equal.
// Offsets in the movement record (core/records/movement.cpp's field table).
constexpr std::size_t kTipdocOffset = 180, kPosfisOffset = 264, kAccisaOffset = 272;
class ExciseSum {
public:
    ExciseSum(bool byDay, double today, int year, const std::string& period) : byDay_(byDay) {
        if (byDay) {
            first_ = last_ = today;
        } else if (const auto bounds = periodBounds(period, year)) {
            first_ = bounds->first;
            last_ = bounds->last;
            period_ = period;
        }
    }
    void addRegisterRecord(std::string_view bytes) {
        const MovementView r(bytes);
        const char tipmov = r.TIPMOV();
        if (r.TIPOPE() != 'I' || r.STATO() == 'C' || (tipmov != 'S' && tipmov != 'C')) return;
        if (byDay_ && tipmov != 'C') return;
        const double day = std::round(r.DATMOV());
        if (first_ == 0 || day < first_ || day > last_) return;
        // isTaxedMovement on the stored bytes: active (checked above) under tax position "001".
        if (!r.fieldEquals(kPosfisOffset, 3, "001")) return;
        const double accisa = binary::getDouble(bytes.data() + kAccisaOffset);
        if (byDay_) {
            if (r.fieldEquals(kTipdocOffset, 3, "DAA") || r.fieldEquals(kTipdocOffset, 3, "ROR") ||
                r.fieldEquals(kTipdocOffset, 3, "FBR"))
                due_ += accisa;
        } else if (tipmov == 'S') {
            due_ += accisa;
        } else {
            reversals_ += accisa;
        }
    }
    void addDutyRecord(std::string_view bytes) {
        if (byDay_ || period_.empty() || MovementView(bytes).TIPREC() != 'D') return;
        const Movement m = decodeMovement(bytes);
        if (isActiveEntry(m) && trimmedText(m.CODPAE) == period_) credits_ += m.ETTOGR;
    }
    double amount() const {
        if (byDay_) return roundTo(due_, 2);
        return summaryTotal(roundTo(due_, 2), roundTo(credits_, 2), roundTo(reversals_, 2));
    }

private:
    bool byDay_;
    double first_ = 0, last_ = 0;
    std::string period_;
    double due_ = 0, credits_ = 0, reversals_ = 0;
};

// The flow number of a flow name ("AB120315.C01" -> 1): the digits after its last ".C".
int flowNumberOfName(const std::string& name) {
    const std::size_t mark = name.rfind(".C");
    int number = 0;
    if (mark == std::string::npos) return 0;
    for (std::size_t i = mark + 2; i < name.size() && name[i] >= '0' && name[i] <= '9' && number < 100000; ++i)
        number = number * 10 + (name[i] - '0');
    return number;
}

const char* environmentText(char environment) { return environment == 'R' ? "reale" : "di prova"; }

// The latest flow of the file of sent flows, when it is later than (or the same as)
// the latest the records carry: where it was sent last and what came back from
// there after that send. False when the file has no events or the records' flow is later.
bool lastFlowOfSentFlows(const std::vector<SentFlowEvent>& events, LastFlowStanding& flow) {
    const SentFlowEvent* latest = nullptr;
    int latestNumber = 0;
    for (const SentFlowEvent& e : events) {
        const int number = flowNumberOfName(e.flowName);
        const double date = std::round(e.flowDate);
        if (!latest || date > std::round(latest->flowDate) ||
            (date == std::round(latest->flowDate) && number > latestNumber)) {
            latest = &e;
            latestNumber = number;
        }
    }
    if (!latest) return false;
    const double date = std::round(latest->flowDate);
    if (flow.any && (flow.date > date || (flow.date == date && flow.number > latestNumber))) return false;

    const std::string name = latest->flowName;
    flow = LastFlowStanding{};
    flow.any = true;
    flow.name = name;
    flow.date = date;
    flow.number = latestNumber;
    char environment = 0;
    for (const SentFlowEvent& e : events) {
        if (e.flowName != name || std::round(e.flowDate) != date) continue;
        if (e.event == "INVIO") {
            flow.sent = true;
            environment = e.environment;
            flow.outcome.clear(); // what came back before this send is not its outcome
        } else if ((e.event == "ESITO" || e.event == "ATTESA") && (environment == 0 || e.environment == environment)) {
            if (environment == 0) environment = e.environment;
            if (e.event == "ATTESA") {
                flow.outcome = "esito in attesa";
            } else {
                const std::size_t blank = e.detail.find(' ');
                flow.outcome = blank == std::string::npos ? std::string(kOutcomeMissing) : e.detail.substr(blank + 1);
            }
        }
    }
    if (environment != 0) flow.environment = environmentText(environment);
    return true;
}

std::string dateOrNone(double day, const char* none) {
    return day == 0 ? std::string(none) : formatDate(day);
}

} // namespace

std::string stockText(const Quantities& q) {
    std::string text;
    const auto add = [&](double value, const char* unit) {
        if (!text.empty()) text += ", ";
        text += formatNumber(value, 0, 0) + unit;
    };
    if (q.QTAKG != 0) add(q.QTAKG, " kg");
    if (q.QTALIT != 0) add(q.QTALIT, " l");
    if (q.ETTOGR != 0) text += (text.empty() ? "" : " ") + std::string("(Hlg ") + formatNumber(q.ETTOGR, 0, 0) + ")";
    return text.empty() ? "0" : text;
}

BooksStanding computeBooksStanding(const Folders& folders, double today, bool alcopp, const std::string& userCode,
                                   const AuditProblemCount& audit) {
    BooksStanding s;
    s.today = std::round(today);
    const int year = yearOf(s.today);

    std::vector<RegisterTrack> tracks;
    for (const TableRecord& reg : registersValidOn(folders, s.today)) {
        const RegisterKey key = registerKeyOf(reg);
        RegisterStanding standing;
        standing.typeName = registerTypeDescription(reg);
        standing.title = reg.col[kRegTitleCol].empty() ? standing.typeName : reg.col[kRegTitleCol];
        standing.protocol = key.NUMPRO;
        tracks.push_back({standing, key.TIPREG.empty() ? ' ' : key.TIPREG[0], padded1252(key.ANNPRO, 4),
                          padded1252(key.NUMPRO, 10), RegisterStockSum(folders, key, s.today)});
    }

    ExciseSum excise(alcopp, s.today, year, periodOfDay(s.today));
    UnsentStanding stocks{"Giacenze iniziali"}, movements{"Movimenti"}, guarantees{"Garanzie"}, duty{"Record D, E, R"};
    LastFlowStanding& flow = s.lastFlow;

    // Initial stocks of any year, as the flow list takes them.
    forEachRecord(folders.initialStocks(), kMovementSize, [&](std::string_view bytes) {
        const MovementView r(bytes);
        if (r.NUMFLU() == 0) noteUnsent(stocks, r.DATMOV());
        noteFlow(flow, bytes);
    });
    // The year's register file, once: stock, last movement, unsent movements, flows.
    const fs::path registerFile = folders.registerFile(year);
    forEachRecord(registerFile, kMovementSize, [&](std::string_view bytes) {
        const MovementView r(bytes);
        if (r.NUMFLU() == 0) noteUnsent(movements, r.DATMOV());
        noteFlow(flow, bytes);
        excise.addRegisterRecord(bytes);
        const double day = std::round(r.DATMOV());
        for (RegisterTrack& t : tracks) {
            // A record of another register counts in neither figure (the stock sum
            // looks for the same register).
            if (!t.holds(r)) continue;
            t.stock.add(registerFile, bytes);
            if (day <= s.today && day > t.standing.lastMovement && isActiveLoadOrUnload(r))
                t.standing.lastMovement = day;
        }
    });
    forEachRecord(folders.guaranteeFile(year), kMovementSize, [&](std::string_view bytes) {
        const MovementView r(bytes);
        if (r.NUMFLU() == 0) noteUnsent(guarantees, r.DATMOV());
        noteFlow(flow, bytes);
    });
    forEachRecord(folders.dutyFile(year), kMovementSize, [&](std::string_view bytes) {
        const MovementView r(bytes);
        const char kind = r.TIPREC();
        if (r.NUMFLU() == 0 && (kind == 'D' || kind == 'E' || kind == 'R')) noteUnsent(duty, r.DATMOV());
        noteFlow(flow, bytes);
        excise.addDutyRecord(bytes);
    });
    // Last year's records still unsent: in the first weeks of a year the last flows of
    // the year before are still to be made, and the page must not say there is nothing.
    forEachRecord(folders.registerFile(year - 1), kMovementSize, [&](std::string_view bytes) {
        if (MovementView(bytes).NUMFLU() == 0) noteUnsent(movements, MovementView(bytes).DATMOV());
    });
    forEachRecord(folders.guaranteeFile(year - 1), kMovementSize, [&](std::string_view bytes) {
        if (MovementView(bytes).NUMFLU() == 0) noteUnsent(guarantees, MovementView(bytes).DATMOV());
    });
    forEachRecord(folders.dutyFile(year - 1), kMovementSize, [&](std::string_view bytes) {
        const MovementView r(bytes);
        const char kind = r.TIPREC();
        if (r.NUMFLU() == 0 && (kind == 'D' || kind == 'E' || kind == 'R')) noteUnsent(duty, r.DATMOV());
    });
    for (RegisterTrack& t : tracks) {
        t.standing.stock = t.stock.total();
        s.registers.push_back(std::move(t.standing));
    }
    s.unsent = {stocks, movements, guarantees, duty};

    // The excise of the current period (or of today), as the excise summary window
    // proposes it, and its summary record.
    const auto deadlines = readDeadlines(folders);
    ExciseStanding& e = s.excise;
    e.byDay = alcopp;
    e.year = year;
    e.period = periodOfDay(s.today);
    std::optional<Movement> summary;
    e.amount = excise.amount();
    if (alcopp) {
        e.day = s.today;
        summary = findDutyRecordOfDay(folders.dutyFile(year), DutyKind::Summary, s.today);
    } else {
        summary = findDutyRecordOfPeriod(folders.dutyFile(year), DutyKind::Summary, e.period);
    }
    e.recorded = summary.has_value();
    e.sent = summary && isSent(*summary);
    e.paymentDue = paymentDueDay(deadlines, e.period, year);
    e.sendingDue = sendingDueDay(deadlines, e.period, year);

    // The oldest unsent record whose sending date has passed.
    for (const UnsentStanding& kind : s.unsent) {
        if (kind.count == 0 || kind.oldest == 0) continue;
        const double due = sendingDueDay(deadlines, periodOfDay(kind.oldest), yearOf(kind.oldest));
        if (due != 0 && due < s.today && (s.lateSince == 0 || kind.oldest < s.lateSince)) {
            s.lateSince = kind.oldest;
            s.lateDeadline = due;
        }
    }

    const bool fromSentFlows = lastFlowOfSentFlows(readSentFlowEvents(folders), flow);
    if (flow.any) {
        if (!fromSentFlows) flow.name = flowFileName(userCode, flow.number, flow.date);
        const ApplPaths paths = readApplConfig(folders);
        const std::string signedName = flow.name + ".p7m";
        std::error_code error;
        const fs::path signedFolder = resolvedApplFolder(folders, paths[2]);
        flow.signedCopy = !signedFolder.empty() && fs::exists(signedFolder / signedName, error);
        // This desk's outcome file, for a flow the file of sent flows does not follow.
        const fs::path outcome = folders.inTemp(outcomeFileName(signedName));
        if (!fromSentFlows && fs::exists(outcome, error))
            flow.outcome = buildOutcomeReport(readRecords(outcome, 1, IfMissing::Empty).bytes()).outcome;
    }

    if (audit) {
        if (const auto problems = audit()) {
            s.auditAvailable = true;
            s.auditProblems = *problems;
        }
    }
    return s;
}

std::vector<DashboardLine> dashboardLines(const BooksStanding& s) {
    using K = DashboardLine::Kind;
    std::vector<DashboardLine> lines;
    const auto heading = [&](std::string text) { lines.push_back({K::Heading, std::move(text), ""}); };
    const auto item = [&](std::string text, std::string command) {
        lines.push_back({K::Item, std::move(text), std::move(command)});
    };
    const auto warning = [&](std::string text, std::string command) {
        lines.push_back({K::Warning, std::move(text), std::move(command)});
    };

    heading("Registri validi oggi, " + formatDate(s.today));
    if (s.registers.empty()) warning("Nessun registro valido oggi", "APROTOCOLLO");
    for (const RegisterStanding& r : s.registers)
        item(r.title + " (" + (r.title == r.typeName ? "" : r.typeName + ", ") + "prot. " + r.protocol +
                 "): giacenza " + stockText(r.stock) +
                 ", ultimo movimento " + dateOrNone(r.lastMovement, "nessuno quest'anno"),
             "Action6");

    const ExciseStanding& e = s.excise;
    heading(e.byDay ? "Accisa di oggi" : "Accisa del periodo in corso");
    const std::string what = e.byDay ? "del " + formatDate(e.day)
                                     : e.period + "/" + std::to_string(e.year) + " (" + periodName(e.period) + ")";
    item("Riepilogo " + what + ": accisa " + formatNumber(e.amount, 0, 2) + ", " +
             (!e.recorded ? std::string("riepilogo non registrato")
                          : e.sent ? std::string("riepilogo registrato e inviato")
                                   : std::string("riepilogo registrato, non inviato")),
         "ARECORDE");
    item("Versamento entro il " + dateOrNone(e.paymentDue, "(non indicato)") + ", invio entro il " +
             dateOrNone(e.sendingDue, "(non indicato)") + " - date da verificare con il proprio ufficio delle dogane",
         kDeadlinesCommand);

    heading("Record non inviati");
    int total = 0;
    for (const UnsentStanding& u : s.unsent) {
        total += u.count;
        if (u.count == 0) continue;
        item(u.kind + ": " + std::to_string(u.count) + ", il piu` vecchio del " + formatDate(u.oldest),
             "ACREAFIRINVFLUSSO");
    }
    if (total == 0) item("Nessun record da inviare", "ACREAFIRINVFLUSSO");
    if (s.lateSince != 0)
        warning("ATTENZIONE: record del " + formatDate(s.lateSince) + " non ancora inviati, scadenza di invio " +
                    formatDate(s.lateDeadline),
                "ACREAFIRINVFLUSSO");

    heading("Ultimo flusso");
    const LastFlowStanding& f = s.lastFlow;
    if (!f.any) {
        item("Nessun flusso creato quest'anno", "ACREAFIRINVFLUSSO");
    } else {
        item(f.name + " del " + formatDate(f.date) + ", ambiente " +
                 (f.environment.empty() ? std::string("non registrato") : f.environment) + ", " +
                 (!f.outcome.empty() ? f.outcome
                  : f.sent           ? std::string("inviato, esito non ricevuto")
                  : f.signedCopy     ? std::string("firmato, esito non ricevuto")
                                     : std::string("non ancora firmato")),
             "ACREAFIRINVFLUSSO");
    }

    heading("Controllo dei registri");
    if (!s.auditAvailable) item("Controllo non disponibile", "");
    else if (s.auditProblems == 0) item("nessun problema", kAuditCommand);
    else warning(std::to_string(s.auditProblems) + (s.auditProblems == 1 ? " problema trovato" : " problemi trovati"),
                 kAuditCommand);
    return lines;
}

} // namespace accise
