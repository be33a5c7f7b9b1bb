#pragma once
// The flat JSON objects of the dump and append commands: one object per line whose
// values are strings, numbers, booleans or null. Nothing nested is needed.
#include <map>
#include <stdexcept>
#include <string>
#include <variant>

namespace accise::cli {

using JsonValue = std::variant<std::nullptr_t, bool, double, std::string>;
using JsonObject = std::map<std::string, JsonValue>;

struct JsonError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Parses one object; throws JsonError with a short Italian reason.
JsonObject parseJsonObject(const std::string& line);

std::string jsonQuote(const std::string& utf8);
// Shortest text that reads back as the same double.
std::string jsonNumber(double value);

} // namespace accise::cli
