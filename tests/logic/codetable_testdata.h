#pragma once
// Small data folders for the lookup list and code-table editor tests.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/files/recordfile.h"
#include "core/records/tablerecord.h"
#include "core/tables/codetables.h"
#include "test_support.h"

namespace accise::testing {

// A working folder with its folders created and nothing in them.
struct DataFolder {
    TempDir dir;
    Folders folders = Folders::of(dir.path() / "work", dir.path() / "temp");
    DataFolder() { folders.create(); }
};

// A structure record: key count 1, title, lookup names, and (caption, width) per column.
inline TableRecord structureRecord(const std::string& name, const std::string& title, const std::string& names,
                                   const std::vector<std::pair<std::string, int>>& columns) {
    TableRecord s = blankTable();
    s.number = 1;
    s.extra[0] = name;
    s.extra[1] = title;
    s.extra[2] = names;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        s.col[i] = columns[i].first;
        s.ints[i] = columns[i].second;
    }
    return s;
}

inline void writeStructure(const Folders& folders, const TableRecord& s) {
    writeWholeFile(folders.structure(s.extra[0]), encodeTable(s));
}

inline TableRecord tableRow(std::int32_t number, const std::string& table, std::vector<std::string> cols) {
    TableRecord t = blankTable();
    t.number = number;
    t.extra[0] = table;
    for (std::size_t i = 0; i < cols.size(); ++i) t.col[i] = cols[i];
    return t;
}

// Writes the records as the whole table file, in the order given.
inline void writeRows(const fs::path& file, const std::vector<TableRecord>& rows) {
    std::string bytes;
    for (const auto& r : rows) bytes += encodeTable(r);
    writeWholeFile(file, bytes);
}

inline std::string fileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace accise::testing
