#include "logic/shell/lookuplist.h"

#include <algorithm>
#include <charconv>

#include "core/books/movementfile.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/addressbook.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "core/tables/registers.h"

namespace accise {
namespace {

constexpr std::string_view kAddressBookPrefix = "INDIRIZZI_";
constexpr int kMeasured = -1; // the column's width is its longest text

// Collects the rows of one table and the widths of its columns.
class RowBuilder {
public:
    // `fixed`: one entry per column, kMeasured or a fixed width.
    explicit RowBuilder(std::vector<int> fixed) : fixed_(std::move(fixed)), widths_(fixed_.size(), 0) {
        for (std::size_t i = 0; i < fixed_.size(); ++i)
            if (fixed_[i] != kMeasured) widths_[i] = fixed_[i];
    }

    // A column whose fixed width depends on its texts (the register type name).
    void atLeast(std::size_t column, int width) { widths_[column] = std::max(widths_[column], width); }

    void add(std::int32_t number, std::vector<std::string> cells) {
        for (std::size_t i = 0; i < cells.size() && i < fixed_.size(); ++i)
            if (fixed_[i] == kMeasured)
                widths_[i] = std::max(widths_[i], static_cast<int>(utf8Length(cells[i])));
        rows_.push_back({number, std::move(cells)});
    }

    BuiltRows take() && { return {std::move(rows_), std::move(widths_)}; }

private:
    std::vector<int> fixed_;
    std::vector<int> widths_;
    std::vector<LookupRow> rows_;
};

std::string t(std::string_view s) {
    return trimmed(s);
}
std::string joined(std::string_view a, std::string_view b) {
    return t(a) + " " + t(b);
}

BuiltRows addressBookRows(const Folders& folders, std::string_view book, bool haveStructure) {
    const char kind = addressBookKind(book);
    const fs::path file = folders.addressBook(kind);
    const bool open = haveStructure && fileExists(file);
    const auto entries = open ? readAddressBook(file) : std::vector<AddressRecord>{};

    if (kind == 'T') {
        RowBuilder b({kMeasured, kMeasured, kMeasured, kMeasured, kMeasured});
        for (const auto& e : entries)
            b.add(e.code, {t(e.name1), t(e.id2), joined(e.street1, e.number1), joined(e.city1, e.postcode1),
                           t(e.section)});
        return std::move(b).take();
    }
    if (kind == 'D') {
        RowBuilder b({kMeasured, kMeasured, kMeasured, kMeasured, kMeasured, kMeasured});
        for (const auto& e : entries) {
            const std::string auth = t(e.auth_type);
            const std::string id = auth == "5" ? t(e.user_code) : auth == "1" ? t(e.id2) : std::string();
            std::string place = id;
            for (const std::string* part :
                 {&e.name2, &e.street2, &e.number2, &e.postcode2, &e.city2, &e.section})
                place += " " + t(*part);
            b.add(e.code, {t(e.name1), auth, t(e.id1), joined(e.street1, e.number1),
                           joined(e.city1, e.postcode1), place});
        }
        return std::move(b).take();
    }
    const bool guarantors = kind == 'G';
    std::vector<int> fixed(guarantors ? 7 : 6, kMeasured);
    RowBuilder b(fixed);
    for (const auto& e : entries) {
        std::vector<std::string> cells{t(e.name1), t(e.id1), t(e.id2), joined(e.street1, e.number1),
                                       joined(e.city1, e.postcode1)};
        if (guarantors) cells.push_back(joined(e.bond_kind, e.guarantee_account));
        cells.push_back(t(e.section));
        b.add(e.code, std::move(cells));
    }
    return std::move(b).take();
}

// Registers that already have an initial stock: an active insertion in GIACENZE.DAT.
bool hasInitialStock(const std::vector<Movement>& stocks, const TableRecord& reg) {
    const std::string type(1, registerTypeLetter(reg.ints[kRegTypeInt]));
    const std::string year = std::to_string(yearOf(reg.nums[kRegProtocolDateNum]));
    for (const Movement& m : stocks) {
        if (t(m.STATO) == "C" || t(m.TIPOPE) != "I") continue;
        if (t(m.TIPREG) == type && t(m.ANNPRO) == year && t(m.NUMPRO) == t(reg.col[kRegProtocolCol]) &&
            t(m.UFFDOG) == t(reg.col[kRegOfficeCol]))
            return true;
    }
    return false;
}

BuiltRows registerRows(const Folders& folders, const std::vector<TableRecord>& records, char mode) {
    RowBuilder b({11, 11, 0, 24, 9, kMeasured});
    std::vector<Movement> stocks;
    if (mode == 'G') stocks = readMovements(folders.initialStocks());
    for (const auto& r : records) {
        if (mode == 'G' && hasInitialStock(stocks, r)) continue;
        const std::string type(registerTypeName(r.ints[kRegTypeInt]));
        b.atLeast(2, static_cast<int>(utf8Length(type)) + 4);
        b.add(r.number, {t(r.col[kRegProtocolCol]), formatDate(r.nums[kRegProtocolDateNum]), type,
                         formatDate(r.nums[kRegFirstDayNum]) + " - " + formatDate(r.nums[kRegLastDayNum]),
                         t(r.col[kRegOfficeCol]), t(r.col[kRegTitleCol])});
    }
    return std::move(b).take();
}

BuiltRows exciseRows(const std::vector<TableRecord>& records) {
    RowBuilder b({11, 6, 11, 9});
    for (const auto& r : records)
        b.add(r.number, {formatDate(r.nums[kRateDateNum]), t(r.col[kRateCountryCol]),
                         formatNumber(r.nums[kRateAmountNum], 3, 5), t(r.col[kRateChapterCol])});
    return std::move(b).take();
}

BuiltRows productRows(const std::vector<TableRecord>& records) {
    RowBuilder b({kMeasured, kMeasured, 9, 9, 5, 5});
    for (const auto& r : records)
        b.add(r.number, {t(r.col[0]), t(r.col[1]), formatNumber(r.nums[0], 2, 5),
                         formatNumber(r.nums[1], 2, 5), t(r.col[6]), std::to_string(r.ints[0])});
    return std::move(b).take();
}

BuiltRows productCodeRows(const Folders& folders, const std::vector<TableRecord>& records,
                          const LookupRequest& request) {
    RowBuilder b({kMeasured, kMeasured, 10, 10, 13});
    for (const auto& r : records) {
        if (request.mode == 'G' || request.mode == 'g') {
            const auto reg = registerValidFor(folders, t(r.col[0]), request.movementDate);
            if (!reg) continue;
            if (request.mode == 'g' && reg->ints[kRegTypeInt] != 3) continue;
        }
        b.add(r.number,
              {t(r.col[0]), t(r.col[1]), formatDate(r.nums[0]), formatDate(r.nums[1]), t(r.col[2])});
    }
    return std::move(b).take();
}

BuiltRows codeTableRows(const std::vector<TableRecord>& records,
                        const std::optional<TableRecord>& structure) {
    std::vector<std::size_t> shown{0};
    for (std::size_t i = 1; i < 10; ++i)
        if (structure && structure->ints[i] > 0) shown.push_back(i);
    RowBuilder b(std::vector<int>(shown.size(), kMeasured));
    for (const auto& r : records) {
        std::vector<std::string> cells;
        for (std::size_t i : shown)
            cells.push_back(t(r.col[i]));
        b.add(r.number, std::move(cells));
    }
    return std::move(b).take();
}

std::int32_t rowNumber(std::string_view text) {
    text = text.substr(0, 20);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return 0;
    return value;
}

} // namespace

int LookupList::totalCharacters() const {
    int total = 0;
    for (const auto& c : columns)
        total += c.width + 1;
    return total;
}

std::int32_t LookupList::numberAt(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= rows.size()) return -1;
    return rows[static_cast<std::size_t>(index)].number;
}

BuiltRows buildLookupRows(const Folders& folders, const LookupRequest& request) {
    const std::string& table = request.table;
    const bool addressBook = table.starts_with(kAddressBookPrefix);
    const auto structure = readStructure(folders, table);
    if (addressBook) return addressBookRows(folders, table, structure.has_value());

    const fs::path file = folders.table(table);
    const bool open = structure && fileExists(file);
    const auto records = open ? readTable(file) : std::vector<TableRecord>{};
    if (table == kRegistersTable) return registerRows(folders, records, request.mode);
    if (table == kExciseTable) return exciseRows(records);
    if (table == "PRAZ") return productRows(records);
    if (table == "TA20") return productCodeRows(folders, records, request);
    return codeTableRows(records, structure);
}

std::string lookupFileText(const std::vector<LookupRow>& rows) {
    std::string text;
    for (const auto& row : rows) {
        text += encode1252(row.cells.empty() ? std::string() : row.cells.front()) + "\r\n";
        text += "@" + std::to_string(row.number) + "\r\n";
        for (std::size_t i = 1; i < row.cells.size(); ++i)
            text += "\t" + encode1252(row.cells[i]) + "\r\n";
    }
    return text;
}

std::vector<LookupRow> parseLookupFile(std::string_view bytes) {
    std::vector<LookupRow> rows;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && line.front() == '\t') {
            if (!rows.empty()) rows.back().cells.push_back(decode1252(line.substr(1)));
        } else if (!line.empty() && line.front() == '@') {
            if (!rows.empty()) rows.back().number = rowNumber(line.substr(1));
        } else {
            rows.push_back({0, {decode1252(line)}});
        }
    }
    return rows;
}

std::vector<std::string> lookupCaptions(std::string_view names, std::size_t count) {
    std::vector<std::string> captions;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t end = names.find(';');
        if (end == std::string_view::npos) {
            captions.emplace_back();
            continue;
        }
        captions.emplace_back(names.substr(0, end));
        names.remove_prefix(end + 1);
    }
    return captions;
}

LookupList openLookupList(const Folders& folders, const LookupRequest& request) {
    const fs::path file = folders.inTemp(kLookupFileName);
    writeWholeFile(file, "");
    BuiltRows built = buildLookupRows(folders, request);
    writeWholeFile(file, lookupFileText(built.rows));

    LookupList list;
    const RecordBlock content = readRecords(file, 1, IfMissing::Empty);
    list.rows = parseLookupFile(content.bytes());

    const auto structure = readStructure(folders, request.table);
    if (structure) list.title = trimmed(structure->extra[1]);
    const std::size_t count = std::min<std::size_t>(built.widths.size(), kLookupMaxColumns);
    const auto captions = lookupCaptions(structure ? structure->extra[2] : std::string(), count);
    for (std::size_t i = 0; i < count; ++i)
        list.columns.push_back({std::max(built.widths[i], kLookupMinColumnWidth), captions[i]});
    return list;
}

void sortLookupRows(std::vector<LookupRow>& rows, std::size_t column) {
    auto key = [column](const LookupRow& row) {
        return column < row.cells.size() ? encode1252(row.cells[column]) : std::string();
    };
    std::vector<std::pair<std::string, LookupRow>> keyed;
    keyed.reserve(rows.size());
    for (auto& row : rows)
        keyed.emplace_back(key(row), std::move(row));
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return std::lexicographical_compare(
            a.first.begin(), a.first.end(), b.first.begin(), b.first.end(),
            [](char x, char y) { return static_cast<unsigned char>(x) < static_cast<unsigned char>(y); });
    });
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = std::move(keyed[i].second);
}

LookupWindowSize lookupWindowSize(const LookupList& list, int widthOfW, int heightOfQ, int maxWidth,
                                  int maxHeight) {
    int width = 50;
    for (const auto& c : list.columns)
        width += (c.width + 2) * widthOfW;
    int height = heightOfQ * static_cast<int>(list.rows.size()) * 2;
    width = std::max(width, 300);
    height = std::max(height, 300);
    if (maxWidth > 0) width = std::min(width, maxWidth);
    if (maxHeight > 0) height = std::min(height, maxHeight);
    return {width, height};
}

} // namespace accise
