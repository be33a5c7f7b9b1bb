#include "cli/tasks.h"

#include <ostream>

#include "cli/commands.h"
#include "core/files/folders.h"
#include "core/reports/booksaudit.h"

namespace accise::cli {

namespace fs = std::filesystem;

RecordKind kindFromName(const std::string& name) {
    if (name == "movement") return RecordKind::Movement;
    if (name == "address") return RecordKind::Address;
    if (name == "table") return RecordKind::Table;
    return RecordKind::Unknown;
}

RecordKind kindOfFile(const fs::path& file) {
    switch (dataFileKindOf(file)) {
    case DataFileKind::Movement: return RecordKind::Movement;
    case DataFileKind::Address: return RecordKind::Address;
    case DataFileKind::Table: return RecordKind::Table;
    default: return RecordKind::Unknown;
    }
}

std::size_t recordSizeOf(RecordKind kind) {
    switch (kind) {
    case RecordKind::Movement: return recordSizeOf(DataFileKind::Movement);
    case RecordKind::Address: return recordSizeOf(DataFileKind::Address);
    default: return recordSizeOf(DataFileKind::Table);
    }
}

// The books audit the program's "Controllo dei registri" shows, one line per problem.
int check(const fs::path& working, std::ostream& out) {
    const BooksAudit audit = auditBooks(Folders::of(working));
    for (const AuditProblem& p : audit.problems) out << auditLine(p) << "\n";
    out << auditSummaryLine(audit) << "\n";
    return audit.problems.empty() ? kOk : kProblems;
}

} // namespace accise::cli
