#include "core/tables/deliveredtables.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>
#include <utility>

#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/dates.h"

namespace accise {

namespace embedded {
// Defined by the source generated from data/tables/*.tsv at build time.
std::vector<std::pair<std::string, std::string>> tableSources();
} // namespace embedded

namespace {

constexpr std::string_view kStructureSuffix = ".STR.tsv";
constexpr std::string_view kTableSuffix = ".TAB.tsv";

struct Line {
    std::size_t number;
    std::string_view text;
};

// The lines that carry data: comments ("#...") and empty lines are skipped, a
// carriage return before the line end and a leading byte-order mark are dropped.
std::vector<Line> dataLines(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<Line> lines;
    std::size_t number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        lines.push_back({number, line});
    }
    return lines;
}

std::vector<std::string_view> cells(std::string_view line) {
    std::vector<std::string_view> out;
    for (;;) {
        const std::size_t tab = line.find('\t');
        out.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return out;
        line.remove_prefix(tab + 1);
    }
}

class Source {
public:
    explicit Source(std::string file) : file_(std::move(file)) {}

    [[noreturn]] void fail(std::size_t line, const std::string& what) const {
        throw DeliveredTableError(file_ + ":" + std::to_string(line) + ": " + what);
    }

    // A text that the record can hold exactly: at most 250 characters, all of them
    // in Windows-1252, without the blanks that trimming would remove on reading.
    std::string text(std::size_t line, std::string_view cell) const {
        const std::string value(cell);
        if (utf8Length(value) > kTableTextWidth) fail(line, "text longer than 250 characters");
        if (decode1252(encode1252(value)) != value) fail(line, "text not representable in Windows-1252: " + value);
        if (trimmed(value) != value) fail(line, "leading or trailing blanks in \"" + value + "\"");
        return value;
    }

    std::int32_t integer(std::size_t line, std::string_view cell) const {
        if (cell.empty()) return 0;
        std::int32_t value = 0;
        const auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
        if (ec != std::errc() || end != cell.data() + cell.size()) fail(line, "not an integer: " + std::string(cell));
        return value;
    }

    // "DD/MM/YYYY" is a date (a day number), anything else a decimal with "." as point.
    double number(std::size_t line, std::string_view cell) const {
        if (cell.empty()) return 0;
        if (cell.find('/') != std::string_view::npos) {
            const auto day = parseDate(cell);
            if (!day) fail(line, "not a date: " + std::string(cell));
            return *day;
        }
        const bool shaped = std::all_of(cell.begin(), cell.end(), [](char c) {
            return (c >= '0' && c <= '9') || c == '.' || c == '-';
        });
        double value = 0;
        const auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), value, std::chars_format::fixed);
        if (!shaped || ec != std::errc() || end != cell.data() + cell.size())
            fail(line, "not a number: " + std::string(cell));
        return value;
    }

private:
    std::string file_;
};

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// "col3" -> 3 within [0, limit); -1 when the name is not prefix + index.
int fieldIndex(std::string_view field, std::string_view prefix, int limit) {
    if (!startsWith(field, prefix) || field.size() == prefix.size()) return -1;
    int index = 0;
    const auto [end, ec] = std::from_chars(field.data() + prefix.size(), field.data() + field.size(), index);
    if (ec != std::errc() || end != field.data() + field.size() || index < 0 || index >= limit) return -1;
    if (field.size() > prefix.size() + 1 && field[prefix.size()] == '0') return -1;  // "col03"
    return index;
}

TableRecord parseStructure(const std::string& name, std::string_view tsv) {
    const Source src(name + std::string(kStructureSuffix));
    TableRecord s;
    s.extra[0] = name;
    bool haveKeys = false, haveTitle = false, haveLookup = false;
    std::set<int> columns;
    for (const Line& line : dataLines(tsv)) {
        const auto c = cells(line.text);
        const std::string_view kind = c[0];
        if (kind == "keys" && c.size() == 2 && !haveKeys) {
            s.number = src.integer(line.number, c[1]);
            if (c[1].empty() || s.number < 1 || s.number > 9) src.fail(line.number, "key count must be 1 to 9");
            haveKeys = true;
        } else if (kind == "title" && c.size() == 2 && !haveTitle) {
            s.extra[1] = src.text(line.number, c[1]);
            if (s.extra[1].empty()) src.fail(line.number, "empty title");
            haveTitle = true;
        } else if (kind == "lookup" && c.size() == 2 && !haveLookup) {
            s.extra[2] = src.text(line.number, c[1]);
            if (s.extra[2].empty() || s.extra[2].back() != ';')
                src.fail(line.number, "lookup column names must each end with \";\"");
            haveLookup = true;
        } else if (kind == "col" && c.size() == 4) {
            const int i = fieldIndex(std::string("col") + std::string(c[1]), "col", 10);
            if (i < 0 || !columns.insert(i).second) src.fail(line.number, "bad or repeated column index");
            const auto column = static_cast<std::size_t>(i);
            s.col[column] = src.text(line.number, c[2]);
            s.ints[column] = src.integer(line.number, c[3]);
            if (s.col[column].empty()) src.fail(line.number, "empty column caption");
            if (s.ints[column] < 1 || s.ints[column] > static_cast<std::int32_t>(kTableTextWidth))
                src.fail(line.number, "column width must be 1 to 250");
        } else {
            src.fail(line.number, "expected keys, title, lookup (once each) or col <i> <caption> <width>");
        }
    }
    if (!haveKeys || !haveTitle || !haveLookup) src.fail(0, "keys, title and lookup are required");
    if (!columns.count(0)) src.fail(0, "column 0 (the code) is required");
    return s;
}

// Setters of the record fields named by a header.
using Setter = void (*)(const Source&, std::size_t line, std::string_view cell, TableRecord& r, std::size_t i);

struct Field {
    Setter set;
    std::size_t index;
};

Field headerField(const Source& src, std::size_t line, std::string_view name) {
    if (int i = fieldIndex(name, "col", 10); i >= 0)
        return {[](const Source& s, std::size_t l, std::string_view v, TableRecord& r, std::size_t k) {
                    r.col[k] = s.text(l, v);
                },
                static_cast<std::size_t>(i)};
    if (int i = fieldIndex(name, "extra", 10); i >= 1)
        return {[](const Source& s, std::size_t l, std::string_view v, TableRecord& r, std::size_t k) {
                    r.extra[k] = s.text(l, v);
                },
                static_cast<std::size_t>(i)};
    if (int i = fieldIndex(name, "int", 10); i >= 0)
        return {[](const Source& s, std::size_t l, std::string_view v, TableRecord& r, std::size_t k) {
                    r.ints[k] = s.integer(l, v);
                },
                static_cast<std::size_t>(i)};
    if (int i = fieldIndex(name, "num", 30); i >= 0)
        return {[](const Source& s, std::size_t l, std::string_view v, TableRecord& r, std::size_t k) {
                    r.nums[k] = s.number(l, v);
                },
                static_cast<std::size_t>(i)};
    src.fail(line, "unknown field \"" + std::string(name) + "\" (extra0 is the table name, set on loading)");
}

// The order of the table file: excise rates by date, then country; registers by
// their first day of validity; every other table by its code. Byte-wise on the
// padded Windows-1252 text, as the programs compare codes; stable, so equal keys
// keep the order of the source.
void putInFileOrder(const std::string& name, std::vector<TableRecord>& rows) {
    auto code = [](const TableRecord& r) { return padded1252(r.col[0], kTableTextWidth); };
    if (name == "ACCISE") {
        std::stable_sort(rows.begin(), rows.end(), [&](const TableRecord& a, const TableRecord& b) {
            if (a.nums[0] != b.nums[0]) return a.nums[0] < b.nums[0];
            return code(a) < code(b);
        });
    } else if (name == "PROTOCOLLI") {
        std::stable_sort(rows.begin(), rows.end(),
                         [](const TableRecord& a, const TableRecord& b) { return a.nums[1] < b.nums[1]; });
    } else {
        std::stable_sort(rows.begin(), rows.end(),
                         [&](const TableRecord& a, const TableRecord& b) { return code(a) < code(b); });
    }
}

std::vector<TableRecord> parseRows(const std::string& name, std::string_view tsv) {
    const Source src(name + std::string(kTableSuffix));
    const std::vector<Line> lines = dataLines(tsv);
    if (lines.empty()) src.fail(0, "missing header line");
    std::vector<Field> fields;
    std::set<std::string_view> seen;
    for (std::string_view h : cells(lines[0].text)) {
        if (!seen.insert(h).second) src.fail(lines[0].number, "repeated field \"" + std::string(h) + "\"");
        fields.push_back(headerField(src, lines[0].number, h));
    }
    if (!seen.count("col0")) src.fail(lines[0].number, "the header must name col0");

    std::vector<TableRecord> rows;
    for (std::size_t n = 1; n < lines.size(); ++n) {
        const auto c = cells(lines[n].text);
        if (c.size() != fields.size())
            src.fail(lines[n].number, std::to_string(c.size()) + " cells where the header names " +
                                          std::to_string(fields.size()));
        TableRecord r;
        r.extra[0] = name;
        for (std::size_t k = 0; k < c.size(); ++k) fields[k].set(src, lines[n].number, c[k], r, fields[k].index);
        rows.push_back(std::move(r));
    }
    putInFileOrder(name, rows);
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i].number = static_cast<std::int32_t>(i + 1);
    return rows;
}

} // namespace

DeliveredTable parseDeliveredTable(const std::string& name, std::string_view structureTsv,
                                   std::optional<std::string_view> tableTsv) {
    DeliveredTable t;
    t.name = name;
    t.structure = parseStructure(name, structureTsv);
    t.hasTable = tableTsv.has_value();
    if (tableTsv) t.rows = parseRows(name, *tableTsv);
    return t;
}

std::vector<DeliveredTable> deliveredTables() {
    struct Sources {
        const std::string* structure = nullptr;
        const std::string* table = nullptr;
    };
    const auto files = embedded::tableSources();
    std::map<std::string, Sources> byName;
    for (const auto& [file, text] : files) {
        auto ends = [&](std::string_view suffix) {
            return file.size() > suffix.size() && file.compare(file.size() - suffix.size(), suffix.size(), suffix) == 0;
        };
        if (ends(kStructureSuffix))
            byName[file.substr(0, file.size() - kStructureSuffix.size())].structure = &text;
        else if (ends(kTableSuffix))
            byName[file.substr(0, file.size() - kTableSuffix.size())].table = &text;
        else
            throw DeliveredTableError(file + ": neither <name>.STR.tsv nor <name>.TAB.tsv");
    }
    std::vector<DeliveredTable> tables;
    for (const auto& [name, src] : byName) {
        if (!src.structure) throw DeliveredTableError(name + std::string(kTableSuffix) + ": no structure file");
        tables.push_back(parseDeliveredTable(
            name, *src.structure, src.table ? std::optional<std::string_view>(*src.table) : std::nullopt));
    }
    return tables;
}

std::vector<std::filesystem::path> installDeliveredTables(const Folders& folders) {
    std::vector<std::filesystem::path> written;
    for (const DeliveredTable& t : deliveredTables()) {
        const auto structure = folders.structure(t.name);
        if (!fileExists(structure)) {
            writeWholeFile(structure, encodeTable(t.structure));
            written.push_back(structure);
        }
        if (!t.hasTable) continue;
        const auto table = folders.table(t.name);
        if (!fileExists(table)) {
            std::string bytes;
            bytes.reserve(t.rows.size() * kTableSize);
            for (const TableRecord& r : t.rows) bytes += encodeTable(r);
            writeWholeFile(table, bytes);
            written.push_back(table);
        }
    }
    return written;
}

} // namespace accise
