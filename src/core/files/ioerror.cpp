#include "core/files/ioerror.h"

#include <cerrno>
#include <cstring>

namespace accise {

IoError::IoError(std::filesystem::path path, std::string systemMessage)
    : std::runtime_error("Errore di I/O su " + path.string() + ": " + systemMessage), path_(std::move(path)),
      systemMessage_(std::move(systemMessage)) {}

void throwErrno(const std::filesystem::path& path, const std::string& what) {
    const int code = errno;
    throw IoError(path, what + ": " + std::strerror(code));
}

} // namespace accise
