#pragma once
// The values a menu command hands to the window it opens. The shell owns one
// instance for the whole run; every command overwrites what it needs before its
// window opens, and the window reads them when it is shown. Passed by reference.
#include <cstdint>
#include <string>
#include <utility>

#include "common/address.h"
#include "common/folders.h"

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
    std::string enteredCode;        // code confirmed by the code-table editor opened to add one code
    double movementDate = 0;        // date of the movement being entered: the product lists filter on it

    std::string workingYear; // year of the register and duty files the record selection works on
    std::string flowYear;    // year of the flow commands

    AddressRecord company; // the live company record, refilled by every readiness check

    int maxWindowWidth = 0;  // screen width - 50: self-sizing windows never grow beyond it
    int maxWindowHeight = 0; // screen height - 100
};

} // namespace accise
