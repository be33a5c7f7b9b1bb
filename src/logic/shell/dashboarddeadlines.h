#pragma once
// The payment and sending dates of the excise periods, as a small text file the clerk
// can edit: SCADENZE.TXT in the general data folder, one line per period
//   <period code>;<payment day DD/MM>;<sending day DD/MM>
// where a day earlier in the year than the period itself falls in the next year
// ("22;16/01;16/01": the second half of December is paid on 16 January). Lines that
// start with "#" are comments. The delivered file holds the usual dates and says to
// check them with the customs office; the dashboard reads it, nothing else does.
#include <map>
#include <string>
#include <string_view>

#include "core/files/folders.h"

namespace accise {

inline constexpr std::string_view kDeadlinesFile = "SCADENZE.TXT";

struct PeriodDeadlines {
    int paymentDay = 0, paymentMonth = 0; // 0: not given
    int sendingDay = 0, sendingMonth = 0;
};

// The delivered text of the file.
std::string deliveredDeadlinesText();
// The file's lines by period code; lines that are not "code;DD/MM;DD/MM" are skipped.
std::map<std::string, PeriodDeadlines> parseDeadlines(std::string_view text);
// The table of the installation: the file, or the delivered dates while there is none
// (reading writes nothing).
std::map<std::string, PeriodDeadlines> readDeadlines(const Folders& folders);
fs::path deadlinesFile(const Folders& folders);
// The file the clerk edits, written with the delivered dates when missing.
fs::path deadlinesFileToEdit(const Folders& folders);

// The period a day belongs to: "01".."11" by month, "21" / "22" the halves of December.
std::string periodOfDay(double day);
// The day number of a deadline of a period of `year`; 0 when the table gives none.
double paymentDueDay(const std::map<std::string, PeriodDeadlines>& table, const std::string& period, int year);
double sendingDueDay(const std::map<std::string, PeriodDeadlines>& table, const std::string& period, int year);

} // namespace accise
