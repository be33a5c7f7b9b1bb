#pragma once
// Code tables: <table>.TAB holds the codes as table records kept in ascending order of
// column 0; <table>.STR holds one record describing the table (its record number is the
// count of key columns). Also the excise rates of ACCISE.TAB, ordered by date and country.
// Every lookup returns the found record trimmed; nullopt means "not found".
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "core/files/folders.h"
#include "core/files/prompt.h"
#include "core/records/tablerecord.h"

namespace accise {

namespace fs = std::filesystem;

// Shown by a lookup that finds no structure file.
inline constexpr std::string_view kMissingFileStructure = "STRUTTURA DEL FILE MANCANTE";
// Shown by an editor or list that opens a table without a structure file.
inline constexpr std::string_view kMissingTableStructure = "STRUTTURA DELLA TABELLA MANCANTE";
// Shown in the description box beside a code that is not in its table.
inline constexpr std::string_view kInvalidCode = "CODICE NON VALIDO";

// The structure record of a table, trimmed; nullopt when <table>.STR is missing or
// holds no whole record. Never creates the file.
std::optional<TableRecord> readStructure(const Folders& folders, std::string_view table);

// The first record of <table>.TAB whose key columns (0 .. key count - 1) equal those
// of `search`, compared as padded Windows-1252 bytes. A missing or empty structure file
// shows kMissingFileStructure and finds nothing; a missing .TAB is created empty.
// A key count outside 1..10 in a damaged structure is taken as 1 (the code column is
// always part of the key) or 10 (there are no more columns).
std::optional<TableRecord> findByKey(const Folders& folders, std::string_view table, const TableRecord& search,
                                     Prompt& prompt);

// findByKey with only column 0 filled: "is this code in the table, and what is it".
std::optional<TableRecord> findCode(const Folders& folders, std::string_view table, std::string_view code,
                                    Prompt& prompt);

// The record with this record number (created empty when the file is missing).
std::optional<TableRecord> findByNumber(const fs::path& tabFile, std::int32_t number);

// Ordered insertion on column 0 under the file's lock; a record number of 0 becomes the
// highest present + 1. Returns the number written.
std::int32_t insertTableRecord(const fs::path& tabFile, TableRecord record, Prompt& prompt);

// Removes the record with this number, closing the gap; false (file untouched) when absent.
bool deleteTableRecord(const fs::path& tabFile, std::int32_t number, Prompt& prompt);

// Every record of the file in file order, trimmed (for lists). A missing file is created empty.
// A changed row: the delete of `oldNumber` and the ordered insertion of `record`
// (numbered anew when its number is 0) as one safe change under one lock.
std::int32_t replaceTableRecord(const fs::path& tabFile, std::int32_t oldNumber, TableRecord record, Prompt& prompt);

std::vector<TableRecord> readTable(const fs::path& tabFile);

// --- Excise rates (ACCISE.TAB) ---

inline constexpr std::string_view kExciseTable = "ACCISE";
// Where an excise rate keeps its data inside the table record.
inline constexpr std::size_t kRateCountryCol = 0; // country code (table T004)
inline constexpr std::size_t kRateChapterCol = 1; // tax chapter
inline constexpr std::size_t kRateDateNum = 0;    // day from which the rate applies
inline constexpr std::size_t kRateAmountNum = 1;  // rate per hectolitre-degree Plato

enum class RateMode {
    Exact = 0,  // the row of that country for that day ("DD/MM/YYYY" equal)
    InForce = 1 // the rate that applies on that day
};

// Exact: the first row of `country` whose date shows as the same day as `date`.
// InForce: the last row in file order of `country` dated on or before `date`; found only
// when its rate is above 0.001 (a zero rate from a day on means no excise from then).
std::optional<TableRecord> exciseRate(const Folders& folders, RateMode mode, std::string_view country, double date);

// Adds a rate under the lock of ACCISE.TAB, before the first row with a later date or with
// the same date and a greater country code (padded bytes); numbering as insertTableRecord.
std::int32_t insertExciseRate(const Folders& folders, TableRecord rate, Prompt& prompt);
// A changed rate: the old row out and the new one in, as one safe change.
std::int32_t replaceExciseRate(const Folders& folders, std::int32_t oldNumber, TableRecord rate, Prompt& prompt);

} // namespace accise
