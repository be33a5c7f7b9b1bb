#pragma once
// The larger commands of accise-cli and what they share.
#include <chrono>
#include <filesystem>
#include <iosfwd>
#include <string>

namespace accise::cli {

enum class RecordKind { Movement, Address, Table, Unknown };

// The record family of a data file, from its name (catalogue of the data folders).
RecordKind kindOfFile(const std::filesystem::path& file);
RecordKind kindFromName(const std::string& name); // "movement", "address", "table"
std::size_t recordSizeOf(RecordKind kind);

// Integrity of every data file of a working folder: one line per problem.
int check(const std::filesystem::path& working, std::ostream& out);

// A complete sample company in a new working folder.
int demo(const std::filesystem::path& working, std::ostream& out);

// Movements as JSON lines on `in`, each typed into the movement window in insert mode
// and saved (checked only with `dryRun`). One line on `out` per accepted movement, one
// on `err` per refusal or warning. kProblems when a line was refused.
int importMovements(const std::filesystem::path& working, bool dryRun, std::chrono::milliseconds wait,
                    std::istream& in, std::ostream& out, std::ostream& err);

} // namespace accise::cli
