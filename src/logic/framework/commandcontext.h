#pragma once
// The values a menu command hands to the window it opens. The shell owns one
// instance for the whole run; every command overwrites what it needs before its
// window opens, and the window reads them when it is shown. Passed by reference.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "core/files/folders.h"
#include "core/records/address.h"
#include "core/records/movement.h"
#include "core/records/tablerecord.h"

namespace accise {

struct CommandContext {
    CommandContext() = default;
    explicit CommandContext(Folders f) : folders(std::move(f)) {}

    Folders folders;

    std::int32_t tag = 0;          // Tag of the menu action that started the command
    char mode = ' ';               // what the window must do; kept from the previous command unless set
    std::string table;             // code table or address book the next window works on
    bool continuousEntry = false;  // an insert window resets after confirming instead of closing
    bool modify = false;           // movement and duty-record windows: change an unsent record
    bool correctionCancel = false; // ... cancel a sent record
    bool correctionModify = false; // ... replace a sent record
    bool alcopp = false;           // the company is a registered consignee (set by the readiness check)

    std::int32_t chosenCode = -1;   // lookup list result: record number (entry code) of the row, -1 for none
    std::int32_t chosenRecord = -1; // record selection result, -1 for none
    TableRecord chosenRegister;     // the register row the last register lookup chose (trimmed)
    std::string enteredCode;        // code confirmed by the code-table editor opened to add one code
    double movementDate = 0;        // date of the movement being entered: the product lists filter on it

    std::string workingYear; // year of the register and duty files the record selection works on
    std::string flowYear;    // year of the flow commands
    std::string flowFileName;        // the flow the transmission window sends (12 characters)
    bool realEnvironmentLast = false; // the last send went to the agency's real environment
    // The flow the reactivation window opens on when the sent flows list chose it
    // (0: today's last flow); the window takes them and clears them.
    double reactivationFlowDate = 0;
    int reactivationFlowNumber = 0;

    // The record a movement or initial-stock window starts from (prepared by the
    // command), and the record chosen in the record selection list, as stored.
    Movement movementBuffer;
    Movement selectedRecord;

    AddressRecord company; // the live company record, refilled by every readiness check

    // Where the application shows what a window has just saved ("Movimento n. 165
    // registrato (...)"): the main window's status bar. Unset in tests and tools.
    std::function<void(const std::string&)> saveAnnounced;

    int maxWindowWidth = 0;  // screen width - 50: self-sizing windows never grow beyond it
    int maxWindowHeight = 0; // screen height - 100
};

// Keeps the command values that tell a window what to do (tag, mode, table, the
// continuous-entry, modify and correction flags) and puts them back when the scope
// ends, also on an error. A window opened in return mode runs inside one, so the
// window that opened it goes on with its own values whatever the inner one changed.
// The results (chosen code, chosen record, entered code) are not touched.
class KeepCommandValues {
public:
    explicit KeepCommandValues(CommandContext& ctx)
        : ctx_(ctx), tag_(ctx.tag), mode_(ctx.mode), table_(ctx.table), continuousEntry_(ctx.continuousEntry),
          modify_(ctx.modify), correctionCancel_(ctx.correctionCancel), correctionModify_(ctx.correctionModify) {}
    ~KeepCommandValues() {
        ctx_.tag = tag_;
        ctx_.mode = mode_;
        ctx_.table = std::move(table_);
        ctx_.continuousEntry = continuousEntry_;
        ctx_.modify = modify_;
        ctx_.correctionCancel = correctionCancel_;
        ctx_.correctionModify = correctionModify_;
    }
    KeepCommandValues(const KeepCommandValues&) = delete;
    KeepCommandValues& operator=(const KeepCommandValues&) = delete;

private:
    CommandContext& ctx_;
    std::int32_t tag_;
    char mode_;
    std::string table_;
    bool continuousEntry_, modify_, correctionCancel_, correctionModify_;
};

} // namespace accise
