#pragma once
// Customs registers: PROTOCOLLI.TAB (table records ordered by first day of validity)
// and the product list <n>_TA20.PRT of each register n, the TA20 records that may be
// booked in it. A register's number never changes once given, so movements and
// product lists that refer to it stay valid across edits.
#include <bitset>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/files/folders.h"
#include "core/files/prompt.h"
#include "core/records/tablerecord.h"

namespace accise {

inline constexpr std::string_view kRegistersTable = "PROTOCOLLI";

// Shown by the windows that find no register for a movement's product and date.
inline constexpr std::string_view kNoRegisterForMovement =
    "NON CI SONO REGISTRI VIDIMATI PER LA DATA DEL MOVIMENTO DI QUESTO PRODOTTO";

// Where a register keeps its data inside the table record (extra 0 holds "PROTOCOLLI").
inline constexpr std::size_t kRegProtocolCol = 0; // protocol number of the customs office (the key)
inline constexpr std::size_t kRegOfficeCol = 1;   // customs office code (table TA03)
inline constexpr std::size_t kRegTitleCol = 2;    // title printed on the register
inline constexpr std::size_t kRegHeaderCol = 3;   // data of the stamping office, printed
inline constexpr std::size_t kRegTypeInt = 0;     // type index 0..3
inline constexpr std::size_t kRegProtocolDateNum = 0;
inline constexpr std::size_t kRegFirstDayNum = 1;
inline constexpr std::size_t kRegLastDayNum = 2;

// Register types: index 0..3 is stored in the register, the letter in movement records.
inline constexpr int kRegisterTypeCount = 4;
// 'M', 'L', 'F', 'N'; '\0' for an index out of range.
char registerTypeLetter(int index);
// 0..3 for the letters above; -1 for anything else.
int registerTypeIndex(char letter);
// "Materie prime", "Lavorazioni", "Finiti sfusi", "Finiti condizionati"; empty when out of range.
std::string_view registerTypeName(int index);

// The validity days of a register rounded to whole days, as every comparison uses them.
double registerFirstDay(const TableRecord& reg);
double registerLastDay(const TableRecord& reg);
// True when `date` (rounded) lies within the register's validity, both ends included.
bool registerCovers(const TableRecord& reg, double date);

// The register in which `productCode` may be booked on `date`: among the registers whose
// validity contains the date and whose product list exists and holds the code (compared
// trimmed), the last in file order, so the one with the latest first day. Trimmed.
std::optional<TableRecord> registerValidFor(const Folders& folders, std::string_view productCode, double date);

// Which types a list takes: bit i for type index i.
using RegisterTypes = std::bitset<kRegisterTypeCount>;
inline constexpr RegisterTypes kAllRegisterTypes{0b1111};

// The registers of the given types whose validity contains `date`, in file order, trimmed.
std::vector<TableRecord> registersValidOn(const Folders& folders, double date,
                                          RegisterTypes types = kAllRegisterTypes);

// The product list of register n, trimmed; empty when the file is missing (it is not created:
// a register without a product list file never matches a product).
std::vector<TableRecord> readProductList(const Folders& folders, int registerNumber);

// Rewrites the product list of register n whole and safely, under its lock.
void writeProductList(const Folders& folders, int registerNumber, const std::vector<TableRecord>& products,
                      Prompt& prompt);

// Adds a register to PROTOCOLLI.TAB under its lock, before the first register with a later
// first day (equal first days keep their arrival order). Number 0 becomes the highest
// present + 1; any other number is kept, and a register already holding it is replaced,
// so saving an edited register is one change of the file. Returns the register number.
std::int32_t insertRegister(const Folders& folders, TableRecord reg, Prompt& prompt);

// Saves a register and its product list: locks PROTOCOLLI.TAB, inserts the register as
// insertRegister does, then locks and rewrites its product list with `products` (TA20
// records) whose numbers 0..2 are set to the register's protocol date, first and last day.
// Locks are released in the reverse order. Returns the register number.
std::int32_t saveRegister(const Folders& folders, TableRecord reg, std::vector<TableRecord> products,
                          Prompt& prompt);

// Removes a register from PROTOCOLLI.TAB; its product list file stays. False when absent.
bool deleteRegister(const Folders& folders, std::int32_t number, Prompt& prompt);

} // namespace accise
