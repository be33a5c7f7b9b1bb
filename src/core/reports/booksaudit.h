#pragma once
// The books audit: what a customs inspector would check on a working folder. Every
// data file is read whole (no lock is taken: the audit only reads) and checked for
// its own integrity (whole records, finite numbers, texts within their width and
// without control characters, unique record numbers, register order), and the books
// are checked as a whole: no register's stock negative at the end of any day, every
// correction group whole, one active duty record per period or day and kind, one
// active initial stock per register, every record marked with a flow carried by that
// flow's file and every line of the file a marked record. `accise-cli check` and the
// "Controllo dei registri" report of the program print the same problems.
#include <filesystem>
#include <string>
#include <vector>

#include "core/files/folders.h"

namespace accise {

// The record family of a data file, from its name (catalogue of the data folders).
enum class DataFileKind { Movement, Address, Table, Unknown };
DataFileKind dataFileKindOf(const fs::path& file);
std::size_t recordSizeOf(DataFileKind kind);

struct AuditProblem {
    fs::path file;
    std::string text; // "record 3 (n. 7): <rule>" or a rule about the whole file
};

struct BooksAudit {
    std::vector<AuditProblem> problems;
    int filesChecked = 0;
};

// Throws nothing for a damaged or missing file: every failure to read is a problem.
BooksAudit auditBooks(const Folders& folders);

// The number of problems the audit finds (0: "nessun problema").
int booksProblemCount(const Folders& folders);

// "<file>: <text>", the line a problem prints as; with `folder`, a file inside it is
// named from there ("REGISTRI/2025.RGM: ...").
std::string auditLine(const AuditProblem& problem);
std::string auditLine(const AuditProblem& problem, const fs::path& folder);

// The last line of the report: "nessun problema (N file controllati)" or "N problemi trovati".
std::string auditSummaryLine(const BooksAudit& audit);

// How old a file is, in words ("12 secondi", "3 ore"); empty when it cannot be read.
std::string fileAgeText(const fs::path& file);
// What to do about a lock marker that stays on `file`.
std::string leftoverMarkerAdvice(const fs::path& file);

} // namespace accise
