#pragma once
// Checks every writer makes on an encoded record before it goes into a shared file.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace accise {

struct Movement;
struct AddressRecord;

// Names of the number fields holding NaN or an infinity, for a movement, address or
// table record (told apart by its size).
std::vector<std::string> nonFiniteFieldsOf(std::string_view record);

// A number that is not finite can be neither summed nor printed nor sent: throws
// IoError for `file` naming the fields.
void requireFiniteNumbers(const std::filesystem::path& file, std::string_view record);

// Names of the text fields holding a control character (a line break, a TAB, C0, DEL
// or C1). Such a text would break a flow file's lines and fields, an export's rows
// and a printed line. The texts are looked at before encoding, where a C1 character
// would already have become "?"; the stored form (by its size: movement or address
// record) shows the C0 controls and the bytes Windows-1252 leaves undefined.
std::vector<std::string> controlCharacterFieldsOf(const Movement& record);
std::vector<std::string> controlCharacterFieldsOf(const AddressRecord& record);
std::vector<std::string> controlCharacterFieldsOf(std::string_view storedRecord);

// Throw IoError for `file` naming the fields that hold a control character.
void requireNoControlCharacters(const std::filesystem::path& file, const Movement& record);
void requireNoControlCharacters(const std::filesystem::path& file, const AddressRecord& record);
void requireNoControlCharacters(const std::filesystem::path& file, std::string_view storedRecord);

// True when a UTF-8 text holds a control character (C0, DEL or C1).
bool containsControlCharacter(std::string_view utf8);

// The refusal of a text holding control characters, naming its fields.
std::string controlCharacterMessage(const std::vector<std::string>& fields);

// The record number after `highest` (`step` numbers on); throws IoError when the
// 32-bit record number has no room left, instead of wrapping to a negative number.
std::int32_t nextRecordNumber(const std::filesystem::path& file, std::int32_t highest, std::int32_t step = 1);

} // namespace accise
