#pragma once
// Checks every writer makes on an encoded record before it goes into a shared file.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace accise {

// Names of the number fields holding NaN or an infinity, for a movement, address or
// table record (told apart by its size).
std::vector<std::string> nonFiniteFieldsOf(std::string_view record);

// A number that is not finite can be neither summed nor printed nor sent: throws
// IoError for `file` naming the fields.
void requireFiniteNumbers(const std::filesystem::path& file, std::string_view record);

// The record number after `highest` (`step` numbers on); throws IoError when the
// 32-bit record number has no room left, instead of wrapping to a negative number.
std::int32_t nextRecordNumber(const std::filesystem::path& file, std::int32_t highest, std::int32_t step = 1);

} // namespace accise
