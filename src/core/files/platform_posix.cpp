// The file calls of POSIX systems (Linux, macOS).
#ifndef _WIN32

#include "core/files/platform.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/files/ioerror.h"

namespace accise::platform {
namespace {

int flagsOf(OpenMode mode) {
    switch (mode) {
    case OpenMode::Read: return O_RDONLY;
    case OpenMode::Write: return O_RDWR;
    case OpenMode::WriteOrCreate: return O_RDWR | O_CREAT;
    case OpenMode::CreateNew: return O_RDWR | O_CREAT | O_EXCL;
    case OpenMode::CreateOrTruncate: return O_RDWR | O_CREAT | O_TRUNC;
    }
    return O_RDONLY;
}

const char* actionOf(OpenMode mode) {
    return mode == OpenMode::Read || mode == OpenMode::Write ? "apertura" : "creazione";
}

} // namespace

File::~File() { release(); }

File::File(File&& other) noexcept : path_(std::move(other.path_)), fd_(other.fd_) { other.fd_ = -1; }

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        release();
        path_ = std::move(other.path_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

void File::release() noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool File::isOpen() const { return fd_ >= 0; }

OpenResult File::open(const fs::path& path, OpenMode mode) {
    release();
    path_ = path;
    int fd;
    do {
        fd = ::open(path.c_str(), flagsOf(mode) | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == ENOENT && (mode == OpenMode::Read || mode == OpenMode::Write)) return OpenResult::Missing;
        if (errno == EEXIST && mode == OpenMode::CreateNew) return OpenResult::Exists;
        if (errno == EISDIR) throw IoError(path, std::string(actionOf(mode)) + ": è una cartella, non un file");
        throwErrno(path, actionOf(mode));
    }
    fd_ = fd;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throwErrno(path, "lettura");
    if (S_ISDIR(st.st_mode)) {
        release();
        throw IoError(path, std::string(actionOf(mode)) + ": è una cartella, non un file");
    }
    return OpenResult::Opened;
}

std::size_t File::read(char* buffer, std::size_t size) {
    while (true) {
        const ssize_t n = ::read(fd_, buffer, size);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) throwErrno(path_, "lettura");
    }
}

void File::writeAt(std::uint64_t offset, std::string_view data) {
    const char* p = data.data();
    std::size_t left = data.size();
    auto at = static_cast<off_t>(offset);
    while (left > 0) {
        const ssize_t n = ::pwrite(fd_, p, left, at);
        if (n < 0) {
            if (errno == EINTR) continue;
            throwErrno(path_, "scrittura");
        }
        p += n;
        left -= static_cast<std::size_t>(n);
        at += n;
    }
}

std::uint64_t File::size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throwErrno(path_, "lettura");
    return static_cast<std::uint64_t>(st.st_size);
}

void File::truncate(std::uint64_t size) {
    while (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        if (errno != EINTR) throwErrno(path_, "troncamento");
}

void File::flushToDisk() {
    if (::fsync(fd_) != 0) throwErrno(path_, "scrittura su disco");
}

void File::close() {
    const int fd = fd_;
    fd_ = -1;
    if (fd >= 0 && ::close(fd) != 0 && errno != EINTR) throwErrno(path_, "chiusura");
}

void replaceFile(const fs::path& temp, const fs::path& target) {
    if (::rename(temp.c_str(), target.c_str()) != 0) throwErrno(target, "sostituzione");
}

void flushFolder(const fs::path& folder) {
    const fs::path dir = folder.empty() ? fs::path(".") : folder;
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool removeFile(const fs::path& path) {
    if (::unlink(path.c_str()) == 0) return true;
    if (errno == ENOENT) return false;
    throwErrno(path, "rimozione");
}

fs::path finalTarget(const fs::path& path) {
    fs::path current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::error_code ec;
        const fs::path target = fs::read_symlink(current, ec);
        if (ec) throw IoError(current, "lettura del collegamento: " + ec.message());
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    throw IoError(path, "troppi collegamenti simbolici concatenati");
}

bool isReadOnly(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false; // a missing file is created, not changed
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
    return ::access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS || errno == EPERM);
}

void copyPermissions(const fs::path& from, File& to) {
    struct stat st {};
    if (::stat(from.c_str(), &st) != 0) return; // nothing to copy from: a new file
    const int fd = to.nativeHandle();
    // Owner and group first (changing them may clear the set-id bits), then the mode.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
        // Only an administrator may give a file away; a member of the group may still
        // hand the group on, and when even that fails the folder's default group stays.
        [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
    }
    if (::fchmod(fd, st.st_mode & 07777) != 0) throwErrno(to.path(), "impostazione dei permessi");
}

bool pathExists(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace accise::platform

#endif
