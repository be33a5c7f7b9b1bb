#pragma once
// "Dove sono i registri": the page of the main window that answers a clerk's first
// questions of the day, as plain values drawn by the Qt layer and tested without a
// display. Computed on start and whenever a window closes:
//  - each register valid today: its title, its stock at the end of today and the
//    date of its last movement this year;
//  - the excise of the current period (of today for a registered consignee): the
//    amount the excise summary window would propose, whether its summary record
//    exists and was sent, and the payment and sending dates of the deadline table;
//  - the unsent records by kind with the oldest date, and a warning when one is
//    older than its sending deadline;
//  - the last flow: name, date, environment, outcome, as the file of sent flows or
//    the folders tell it;
//  - the books audit's verdict, from a check the program hands in.
// Every line names the command that acts on it, which Enter on the line runs.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/books/stock.h"
#include "core/files/folders.h"

namespace accise {

struct RegisterStanding {
    std::string title;      // the register's title, or its type name when it has none
    std::string typeName;   // "Materie prime", ...
    std::string protocol;   // protocol number
    Quantities stock;       // at the end of today
    double lastMovement = 0; // day of its last active load or unload this year; 0 for none
};

struct ExciseStanding {
    bool byDay = false;   // registered consignee: the excise of today
    std::string period;   // "01".."11", "21", "22"; for byDay the period of today
    int year = 0;
    double day = 0;       // byDay: today
    double amount = 0;    // to pay, as the excise summary window computes it
    bool recorded = false; // an active summary record of the period (day) exists
    bool sent = false;     // ... and went out in a flow
    double paymentDue = 0; // from the deadline table; 0 when it gives none
    double sendingDue = 0;
};

// Unsent records of one kind, as the flow creation list counts them.
struct UnsentStanding {
    std::string kind; // "Movimenti", "Giacenze iniziali", "Garanzie", "Record D, E, R"
    int count = 0;
    double oldest = 0; // the earliest date among them; 0 for none
};

// The latest flow (by flow date, then number): from the file of sent flows where it
// has events (any desk's sends and outcomes), otherwise from the records that carry
// flows and this desk's outcome file. A flow the records carry that is later than
// every flow of that file is the last one, with no send recorded.
struct LastFlowStanding {
    bool any = false;
    std::string name;        // the flow file's name
    double date = 0;
    int number = 0;
    bool signedCopy = false; // the signed copy is in the folder of signed files
    bool sent = false;       // a send of it is in the file of sent flows
    std::string environment; // of its last send: "di prova", "reale"; "" when none is recorded
    std::string outcome;     // the outcome's verdict, "esito in attesa"; "" while none is known
};

// The count of problems the books audit finds; nullopt when no audit is available.
using AuditProblemCount = std::function<std::optional<int>()>;

struct BooksStanding {
    double today = 0;
    std::vector<RegisterStanding> registers;
    ExciseStanding excise;
    std::vector<UnsentStanding> unsent; // in the order of the flow list
    double lateSince = 0;               // the oldest unsent record past its sending date; 0 for none
    double lateDeadline = 0;            // ... and that deadline
    LastFlowStanding lastFlow;
    bool auditAvailable = false;
    int auditProblems = 0;
};

// The figures for `today`. `userCode` names the flow files (the company's telematic
// user code); `alcopp` the registered consignee's profile.
BooksStanding computeBooksStanding(const Folders& folders, double today, bool alcopp, const std::string& userCode,
                                   const AuditProblemCount& audit = {});

// A line of the page. `command` is the action name of the menu entry Enter runs
// ("" for a line that opens nothing).
struct DashboardLine {
    enum class Kind { Heading, Item, Warning };
    Kind kind = Kind::Item;
    std::string text;
    std::string command;
    friend bool operator==(const DashboardLine&, const DashboardLine&) = default;
};

// Shown by the deadline line's command: the deadline table, opened in the desktop's editor.
inline constexpr const char* kDeadlinesCommand = "SCADENZE";
// Shown by the audit line's command: the books audit report (connected where it exists).
inline constexpr const char* kAuditCommand = "ACONTROLLO";

std::vector<DashboardLine> dashboardLines(const BooksStanding& standing);

// "1.200 kg", "1.000 l (Hlg 120)": a stock in the units it holds.
std::string stockText(const Quantities& q);

} // namespace accise
