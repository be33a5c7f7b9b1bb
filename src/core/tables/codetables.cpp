#include "core/tables/codetables.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/files/binary.h"
#include "core/files/recordfile.h"
#include "core/files/recordops.h"
#include "core/files/text1252.h"
#include "core/tables/dates.h"

namespace accise {
namespace {

TableRecord trimmedRecord(std::string_view bytes) {
    TableRecord t = decodeTable(bytes);
    trimTable(t);
    return t;
}

// The padded bytes of column `i` as stored in an encoded record.
std::string storedColumn(std::string_view record, std::size_t i) {
    bool ok = true;
    return padded1252(binary::getText(record.data() + tableColumnOffset(i), kTableTextWidth, ok), kTableTextWidth);
}

std::string paddedKey(std::string_view text) { return padded1252(text, kTableTextWidth); }

double storedNumber(std::string_view record, std::size_t i) { return binary::getDouble(record.data() + 5064 + 8 * i); }

} // namespace

std::optional<TableRecord> readStructure(const Folders& folders, std::string_view table) {
    const RecordBlock block = readRecords(folders.structure(table), kTableSize, IfMissing::Empty);
    if (block.count() == 0) return std::nullopt;
    return trimmedRecord(block.at(0));
}

std::optional<TableRecord> findByKey(const Folders& folders, std::string_view table, const TableRecord& search,
                                     Prompt& prompt) {
    const std::optional<TableRecord> structure = readStructure(folders, table);
    if (!structure) {
        prompt.information(std::string(kMissingFileStructure));
        return std::nullopt;
    }
    const std::size_t keys = static_cast<std::size_t>(std::clamp(structure->number, 1, 10));
    std::vector<std::string> wanted;
    for (std::size_t i = 0; i < keys; ++i) wanted.push_back(paddedKey(search.col[i]));

    const RecordBlock block = readRecords(folders.table(table), kTableSize);
    for (std::size_t r = 0; r < block.count(); ++r) {
        const std::string_view record = block.at(r);
        bool match = true;
        for (std::size_t i = 0; i < keys && match; ++i) match = storedColumn(record, i) == wanted[i];
        if (match) return trimmedRecord(record);
    }
    return std::nullopt;
}

std::optional<TableRecord> findCode(const Folders& folders, std::string_view table, std::string_view code,
                                    Prompt& prompt) {
    TableRecord search = blankTable();
    search.col[0] = std::string(code);
    return findByKey(folders, table, search, prompt);
}

std::optional<TableRecord> findByNumber(const fs::path& tabFile, std::int32_t number) {
    const RecordBlock block = readRecords(tabFile, kTableSize);
    for (std::size_t r = 0; r < block.count(); ++r)
        if (recordNumberOf(block.at(r)) == number) return trimmedRecord(block.at(r));
    return std::nullopt;
}

std::int32_t insertTableRecord(const fs::path& tabFile, TableRecord record, Prompt& prompt) {
    return orderedInsert(tabFile, kTableSize, encodeTable(record), textKeyAt(tableColumnOffset(0), kTableTextWidth),
                         prompt);
}

std::int32_t replaceTableRecord(const fs::path& tabFile, std::int32_t oldNumber, TableRecord record, Prompt& prompt) {
    return orderedReplace(tabFile, kTableSize, oldNumber, encodeTable(record),
                          textKeyAt(tableColumnOffset(0), kTableTextWidth), prompt);
}

bool deleteTableRecord(const fs::path& tabFile, std::int32_t number, Prompt& prompt) {
    return recordDelete(tabFile, kTableSize, number, prompt);
}

std::vector<TableRecord> readTable(const fs::path& tabFile) {
    const RecordBlock block = readRecords(tabFile, kTableSize);
    std::vector<TableRecord> records;
    records.reserve(block.count());
    for (std::size_t r = 0; r < block.count(); ++r) records.push_back(trimmedRecord(block.at(r)));
    return records;
}

std::optional<TableRecord> exciseRate(const Folders& folders, RateMode mode, std::string_view country, double date) {
    const std::string wantedCountry = paddedKey(country);
    const std::string wantedDay = formatDate(date);
    const RecordBlock block = readRecords(folders.table(kExciseTable), kTableSize);
    std::optional<std::size_t> found;
    for (std::size_t r = 0; r < block.count(); ++r) {
        const std::string_view record = block.at(r);
        if (storedColumn(record, kRateCountryCol) != wantedCountry) continue;
        const double from = storedNumber(record, kRateDateNum);
        if (mode == RateMode::Exact) {
            if (formatDate(from) == wantedDay) return trimmedRecord(record);
        } else if (from <= date) {
            found = r; // a later row of the file replaces an earlier one
        }
    }
    if (!found) return std::nullopt;
    TableRecord rate = trimmedRecord(block.at(*found));
    if (!(rate.nums[kRateAmountNum] > 0.001)) return std::nullopt;
    return rate;
}

namespace {
// The order of ACCISE.TAB: the date from which the rate applies, then the country.
int byDateThenCountry(std::string_view a, std::string_view b) {
    static const KeyCompare byCountry = textKeyAt(tableColumnOffset(kRateCountryCol), kTableTextWidth);
    const double da = storedNumber(a, kRateDateNum);
    const double db = storedNumber(b, kRateDateNum);
    if (da != db) return da < db ? -1 : 1;
    return byCountry(a, b);
}
} // namespace

std::int32_t insertExciseRate(const Folders& folders, TableRecord rate, Prompt& prompt) {
    return orderedInsert(folders.table(kExciseTable), kTableSize, encodeTable(rate), byDateThenCountry, prompt);
}

std::int32_t replaceExciseRate(const Folders& folders, std::int32_t oldNumber, TableRecord rate, Prompt& prompt) {
    return orderedReplace(folders.table(kExciseTable), kTableSize, oldNumber, encodeTable(rate), byDateThenCountry,
                          prompt);
}

} // namespace accise
