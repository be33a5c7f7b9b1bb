#pragma once
// The one error type for input/output failures: it aborts the command that met it
// and carries the path and the system's own message for the error display.
#include <filesystem>
#include <stdexcept>
#include <string>

namespace accise {

class IoError : public std::runtime_error {
public:
    IoError(std::filesystem::path path, std::string systemMessage);
    const std::filesystem::path& path() const { return path_; }
    const std::string& systemMessage() const { return systemMessage_; }

private:
    std::filesystem::path path_;
    std::string systemMessage_;
};

// Throws IoError for `path` with the message of the current errno, prefixed by `what`.
[[noreturn]] void throwErrno(const std::filesystem::path& path, const std::string& what);

} // namespace accise
