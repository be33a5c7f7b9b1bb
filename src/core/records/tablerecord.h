#pragma once
// The table record (5304 bytes): code tables, structure files, registers, company
// products, excise rates and the two configuration files.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace accise {

inline constexpr std::size_t kTableSize = 5304;
inline constexpr std::size_t kTableTextWidth = 250;

struct TableRecord {
    std::int32_t number = 0;           // record number; in a structure file the key count
    std::array<std::string, 10> col;   // text columns 0..9 (column 0 = code, 1 = description)
    std::array<std::string, 10> extra; // extra texts 0..9 (extra 0 = table name)
    std::array<std::int32_t, 10> ints{};
    std::array<double, 30> nums{};
};

TableRecord blankTable();
void padTable(TableRecord& t);
void trimTable(TableRecord& t);
std::string encodeTable(const TableRecord& t);
bool decodeTable(std::string_view bytes, TableRecord& t);
TableRecord decodeTable(std::string_view bytes);
// Names ("col3", "extra1") of the texts whose length byte exceeds 250.
std::vector<std::string> oversizedTableTexts(std::string_view bytes);
// Names ("num4") of the numbers that hold NaN or an infinity.
std::vector<std::string> nonFiniteTableNumbers(std::string_view bytes);

// Text offsets inside the record, for the code that needs them directly.
constexpr std::size_t tableColumnOffset(std::size_t i) { return 4 + 251 * i; }
constexpr std::size_t tableExtraOffset(std::size_t i) { return 2514 + 251 * i; }

} // namespace accise
