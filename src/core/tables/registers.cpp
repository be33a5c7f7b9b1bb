#include "core/tables/registers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "core/files/lock.h"
#include "core/files/recordchecks.h"
#include "core/files/recordfile.h"
#include "core/files/recordops.h"
#include "core/files/text1252.h"

namespace accise {
namespace {

constexpr std::array<char, kRegisterTypeCount> kLetters{'M', 'L', 'F', 'N'};
constexpr std::array<std::string_view, kRegisterTypeCount> kNames{"Materie prime", "Lavorazioni", "Finiti sfusi",
                                                                  "Finiti condizionati"};

double wholeDay(double date) { return std::round(date); }

TableRecord trimmedRecord(std::string_view bytes) {
    TableRecord t = decodeTable(bytes);
    trimTable(t);
    return t;
}

std::vector<TableRecord> readRegisters(const Folders& folders) {
    const RecordBlock block = readRecords(folders.table(kRegistersTable), kTableSize);
    std::vector<TableRecord> registers;
    registers.reserve(block.count());
    for (std::size_t r = 0; r < block.count(); ++r) registers.push_back(trimmedRecord(block.at(r)));
    return registers;
}

// The insertion itself; the caller holds the lock of PROTOCOLLI.TAB.
std::int32_t insertRegisterLocked(const Folders& folders, TableRecord reg) {
    const fs::path file = folders.table(kRegistersTable);
    const RecordBlock block = readRecords(file, kTableSize);
    requireWholeRecords(file, block);

    std::int32_t highest = 0;
    std::vector<std::string_view> kept;
    kept.reserve(block.count() + 1);
    for (std::size_t r = 0; r < block.count(); ++r) {
        const std::string_view record = block.at(r);
        highest = std::max(highest, recordNumberOf(record));
        if (reg.number != 0 && recordNumberOf(record) == reg.number) continue; // the edited register's old copy
        kept.push_back(record);
    }
    if (reg.number == 0) reg.number = nextRecordNumber(file, highest);

    const std::string encoded = encodeTable(reg);
    requireFiniteNumbers(file, encoded);
    const double firstDay = registerFirstDay(reg);
    const auto later = std::find_if(kept.begin(), kept.end(), [&](std::string_view record) {
        return registerFirstDay(decodeTable(record)) > firstDay;
    });
    const bool appendOnly = later == kept.end() && kept.size() == block.count();
    kept.insert(later, encoded);

    if (appendOnly) {
        writeRecordAt(file, block.count(), encoded);
    } else {
        std::string content;
        content.reserve(kept.size() * kTableSize);
        for (const std::string_view record : kept) content.append(record);
        replaceFileContent(file, content);
    }
    return reg.number;
}

std::string encodedList(const std::vector<TableRecord>& products) {
    std::string content;
    content.reserve(products.size() * kTableSize);
    for (const TableRecord& product : products) content += encodeTable(product);
    return content;
}

} // namespace

char registerTypeLetter(int index) {
    return index >= 0 && index < kRegisterTypeCount ? kLetters[static_cast<std::size_t>(index)] : '\0';
}

int registerTypeIndex(char letter) {
    const auto it = std::find(kLetters.begin(), kLetters.end(), letter);
    return it == kLetters.end() ? -1 : static_cast<int>(it - kLetters.begin());
}

std::string_view registerTypeName(int index) {
    return index >= 0 && index < kRegisterTypeCount ? kNames[static_cast<std::size_t>(index)] : std::string_view{};
}

double registerFirstDay(const TableRecord& reg) { return wholeDay(reg.nums[kRegFirstDayNum]); }
double registerLastDay(const TableRecord& reg) { return wholeDay(reg.nums[kRegLastDayNum]); }

bool registerCovers(const TableRecord& reg, double date) {
    const double day = wholeDay(date);
    return registerFirstDay(reg) <= day && day <= registerLastDay(reg);
}

std::optional<TableRecord> registerValidFor(const Folders& folders, std::string_view productCode, double date) {
    const std::string wanted = trimmed(productCode);
    std::optional<TableRecord> found;
    for (TableRecord& reg : readRegisters(folders)) {
        if (!registerCovers(reg, date)) continue;
        const fs::path list = folders.productList(reg.number);
        if (!fileExists(list)) continue;
        const std::vector<TableRecord> products = readProductList(folders, reg.number);
        const bool listed = std::any_of(products.begin(), products.end(),
                                        [&](const TableRecord& p) { return p.col[0] == wanted; });
        if (listed) found = std::move(reg); // a later register of the file takes the place of an earlier one
    }
    return found;
}

std::vector<TableRecord> registersValidOn(const Folders& folders, double date, RegisterTypes types) {
    std::vector<TableRecord> valid;
    for (TableRecord& reg : readRegisters(folders)) {
        const int type = reg.ints[kRegTypeInt];
        if (type < 0 || type >= kRegisterTypeCount || !types.test(static_cast<std::size_t>(type))) continue;
        if (registerCovers(reg, date)) valid.push_back(std::move(reg));
    }
    return valid;
}

std::vector<TableRecord> readProductList(const Folders& folders, int registerNumber) {
    const RecordBlock block = readRecords(folders.productList(registerNumber), kTableSize, IfMissing::Empty);
    std::vector<TableRecord> products;
    products.reserve(block.count());
    for (std::size_t r = 0; r < block.count(); ++r) products.push_back(trimmedRecord(block.at(r)));
    return products;
}

void writeProductList(const Folders& folders, int registerNumber, const std::vector<TableRecord>& products,
                      Prompt& prompt) {
    const fs::path list = folders.productList(registerNumber);
    FileLock lock(list, prompt);
    replaceFileContent(list, encodedList(products));
}

std::int32_t insertRegister(const Folders& folders, TableRecord reg, Prompt& prompt) {
    FileLock lock(folders.table(kRegistersTable), prompt);
    return insertRegisterLocked(folders, std::move(reg));
}

std::int32_t saveRegister(const Folders& folders, TableRecord reg, std::vector<TableRecord> products,
                          Prompt& prompt) {
    FileLock registersLock(folders.table(kRegistersTable), prompt);
    for (TableRecord& product : products) {
        product.nums[0] = reg.nums[kRegProtocolDateNum];
        product.nums[1] = reg.nums[kRegFirstDayNum];
        product.nums[2] = reg.nums[kRegLastDayNum];
    }
    const std::int32_t number = insertRegisterLocked(folders, std::move(reg));
    const fs::path list = folders.productList(number);
    FileLock listLock(list, prompt);
    replaceFileContent(list, encodedList(products));
    return number;
}

bool deleteRegister(const Folders& folders, std::int32_t number, Prompt& prompt) {
    return recordDelete(folders.table(kRegistersTable), kTableSize, number, prompt);
}

} // namespace accise
