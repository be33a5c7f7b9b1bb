#pragma once
// What the company data window and the other sites window share: a denomination,
// an address whose fields are all required, and a customs office (UFFDO1) with its
// description (DUFFDOG), export office (UFFDO2) and section (SEZDOG).
#include <initializer_list>
#include <optional>
#include <string>

#include "logic/framework/entryform.h"

namespace accise {

class OfficeFormLogic : public EntryFormLogic {
public:
    using EntryFormLogic::EntryFormLogic;

    // The "..." beside the office: the TA03 list; the chosen code goes into UFFDO1.
    std::string chooseOffice();
    // The new-code button: the TA03 editor in return mode.
    std::string addOffice();

protected:
    // Leaving the office: found, or the cursor back on it with the TA03 list opened.
    FocusMove leaveOffice();
    // The office must be in TA03; its description is shown, and with `fillDefaults`
    // the export office and the section are proposed from its code.
    bool officeFound(bool fillDefaults);
    // The denomination is tidied and must begin with a digit or a capital.
    bool denominationOk(const char* control);
    // The address fields are tidied; when some are empty, one message and the cursor
    // on the last empty one (each empty field takes the cursor in turn).
    std::optional<std::string> emptyAddressField(std::initializer_list<const char*> controls);
    // Opens WEB.CFG entry `entry`; nothing when the file or the entry is missing.
    void openWebEntry(int entry);
};

// The export office proposed for a customs office: its 6th character made "1"
// (the code padded with spaces to 6 characters first, then trimmed).
std::string exportOfficeFor(std::string_view office);
// The section proposed for a customs office: its characters 3 to 8.
std::string sectionFor(std::string_view office);

} // namespace accise
