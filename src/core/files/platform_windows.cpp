// The file calls of Windows. Names go to the wide (UTF-16) calls, so folders with
// accented letters work whatever the workstation's code page; names longer than the
// old 260-character limit get the \\?\ prefix.
#ifdef _WIN32

#include "core/files/platform.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>

#include <chrono>
#include <string>
#include <thread>

#include "core/files/ioerror.h"

namespace accise::platform {
namespace {

// How long a replacement, an open or a removal is retried while another program or
// workstation holds the file open without letting others replace it (a reader on a
// share, an antivirus scan, a backup).
constexpr auto kBusyRetryFor = std::chrono::seconds(3);
constexpr auto kBusyPause = std::chrono::milliseconds(50);

HANDLE handleOf(void* h) { return static_cast<HANDLE>(h); }

std::string utf8Of(const wchar_t* text, int length) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

// The system's own text for an error code (in the workstation's language), on one line.
std::string systemMessage(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = length ? utf8Of(buffer, static_cast<int>(length)) : std::string();
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    if (text.empty()) text = "errore di sistema";
    return text + " (codice " + std::to_string(code) + ")";
}

[[noreturn]] void throwCode(const fs::path& path, const std::string& what, DWORD code) {
    throw IoError(path, what + ": " + systemMessage(code));
}

bool isBusy(DWORD code) { return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION; }

bool isMissing(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

// The name handed to the system. A name too long for the plain calls becomes
// complete, with backslashes, behind the prefix \\?\ (\\?\UNC\ for a share).
std::wstring systemName(const fs::path& path) {
    const std::wstring& given = path.native();
    if (given.rfind(L"\\\\?\\", 0) == 0) return given;
    if (given.size() < MAX_PATH - 12) return given; // 12: room the folder calls keep for a 8.3 name
    const DWORD needed = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return given;
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(given.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed) return given;
    full.resize(written);
    if (full.size() < MAX_PATH - 12) return full;
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

DWORD attributesOf(const std::wstring& name, DWORD& error) {
    const DWORD attributes = GetFileAttributesW(name.c_str());
    error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
    return attributes;
}

bool isFolder(const std::wstring& name) {
    DWORD error = 0;
    const DWORD attributes = attributesOf(name, error);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Retries `attempt` (which returns the error code, ERROR_SUCCESS when done) while
// the file is busy; returns the last code.
template <class Attempt>
DWORD retryWhileBusy(Attempt attempt, bool alsoAccessDenied = false) {
    const auto until = std::chrono::steady_clock::now() + kBusyRetryFor;
    while (true) {
        const DWORD code = attempt();
        const bool busy = isBusy(code) || (alsoAccessDenied && code == ERROR_ACCESS_DENIED);
        if (!busy || std::chrono::steady_clock::now() >= until) return code;
        std::this_thread::sleep_for(kBusyPause);
    }
}

std::string busyMessage(const char* what, DWORD code) {
    return std::string(what) + ": il file è in uso da un altro programma o da un'altra postazione (riprovato per " +
           std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kBusyRetryFor).count()) +
           " secondi); chiudere il programma che lo tiene aperto e ripetere. " + systemMessage(code);
}

std::string readOnlyMessage(const char* what) {
    return std::string(what) + ": il file è in sola lettura: nessuna modifica eseguita";
}

const char* actionOf(OpenMode mode) {
    return mode == OpenMode::Read || mode == OpenMode::Write ? "apertura" : "creazione";
}

} // namespace

File::~File() { release(); }

File::File(File&& other) noexcept : path_(std::move(other.path_)), handle_(other.handle_) { other.handle_ = nullptr; }

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        release();
        path_ = std::move(other.path_);
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

void File::release() noexcept {
    if (handle_) CloseHandle(handleOf(handle_));
    handle_ = nullptr;
}

bool File::isOpen() const { return handle_ != nullptr; }

OpenResult File::open(const fs::path& path, OpenMode mode) {
    release();
    path_ = path;
    DWORD access = GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = OPEN_EXISTING;
    switch (mode) {
    case OpenMode::Read: access = GENERIC_READ; break;
    case OpenMode::Write: break;
    case OpenMode::WriteOrCreate: disposition = OPEN_ALWAYS; break;
    case OpenMode::CreateNew: disposition = CREATE_NEW; break;
    case OpenMode::CreateOrTruncate: disposition = CREATE_ALWAYS; break;
    }
    const std::wstring name = systemName(path);
    // Others may read, write, rename and remove while we hold the file, as on POSIX
    // systems. Some systems still refuse to replace a file while anyone reads it:
    // the replacement then retries (replaceFile).
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE h = INVALID_HANDLE_VALUE;
    const DWORD code = retryWhileBusy([&]() -> DWORD {
        h = CreateFileW(name.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        return h == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    });
    if (h == INVALID_HANDLE_VALUE) {
        if (isMissing(code) && (mode == OpenMode::Read || mode == OpenMode::Write)) return OpenResult::Missing;
        if (mode == OpenMode::CreateNew && (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS))
            return OpenResult::Exists;
        if (code == ERROR_ACCESS_DENIED) {
            if (isFolder(name)) throw IoError(path, std::string(actionOf(mode)) + ": è una cartella, non un file");
            // A name whose removal is still pending (another workstation is taking
            // its lock marker away) is still taken.
            DWORD error = 0;
            const DWORD attributes = attributesOf(name, error);
            if (mode == OpenMode::CreateNew && (attributes != INVALID_FILE_ATTRIBUTES || error == ERROR_ACCESS_DENIED))
                return OpenResult::Exists;
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
                throw IoError(path, readOnlyMessage(actionOf(mode)));
        }
        if (isBusy(code)) throw IoError(path, busyMessage(actionOf(mode), code));
        throwCode(path, actionOf(mode), code);
    }
    handle_ = h;
    return OpenResult::Opened;
}

std::size_t File::read(char* buffer, std::size_t size) {
    const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!ReadFile(handleOf(handle_), buffer, chunk, &got, nullptr)) throwCode(path_, "lettura", GetLastError());
    return got;
}

void File::writeAt(std::uint64_t offset, std::string_view data) {
    // A positional write on a plain handle moves the file position: put it back, so
    // that reads go on where they were.
    LARGE_INTEGER zero{};
    LARGE_INTEGER position{};
    if (!SetFilePointerEx(handleOf(handle_), zero, &position, FILE_CURRENT))
        throwCode(path_, "scrittura", GetLastError());
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD written = 0;
        if (!WriteFile(handleOf(handle_), p, chunk, &written, &at)) throwCode(path_, "scrittura", GetLastError());
        if (written == 0) throwCode(path_, "scrittura", ERROR_WRITE_FAULT);
        p += written;
        left -= written;
        offset += written;
    }
    if (!SetFilePointerEx(handleOf(handle_), position, nullptr, FILE_BEGIN))
        throwCode(path_, "scrittura", GetLastError());
}

std::uint64_t File::size() const {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handleOf(handle_), &size)) throwCode(path_, "lettura", GetLastError());
    return static_cast<std::uint64_t>(size.QuadPart);
}

void File::truncate(std::uint64_t size) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFileInformationByHandle(handleOf(handle_), FileEndOfFileInfo, &end, sizeof end))
        throwCode(path_, "troncamento", GetLastError());
}

void File::flushToDisk() {
    if (!FlushFileBuffers(handleOf(handle_))) throwCode(path_, "scrittura su disco", GetLastError());
}

void File::close() {
    HANDLE h = handleOf(handle_);
    handle_ = nullptr;
    if (h && !CloseHandle(h)) throwCode(path_, "chiusura", GetLastError());
}

void replaceFile(const fs::path& temp, const fs::path& target) {
    const std::wstring from = systemName(temp);
    const std::wstring to = systemName(target);
    DWORD error = 0;
    const DWORD attributes = attributesOf(to, error);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        throw IoError(target, readOnlyMessage("sostituzione"));
    // A program that holds the target open without sharing its removal (a reader on
    // another workstation, an antivirus) makes the move fail with a sharing violation
    // or "access denied" until it closes the file.
    const DWORD code = retryWhileBusy(
        [&]() -> DWORD {
            return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                       ? ERROR_SUCCESS
                       : GetLastError();
        },
        true);
    if (code == ERROR_SUCCESS) return;
    if (isBusy(code) || code == ERROR_ACCESS_DENIED) {
        if (isFolder(to)) throw IoError(target, "sostituzione: è una cartella, non un file");
        throw IoError(target, busyMessage("sostituzione", code) + "; il file non è stato modificato");
    }
    throwCode(target, "sostituzione", code);
}

void flushFolder(const fs::path&) {
    // MOVEFILE_WRITE_THROUGH has already made the rename durable, and Windows offers
    // no flush of a folder to ordinary programs.
}

bool removeFile(const fs::path& path) {
    const std::wstring name = systemName(path);
    const DWORD code = retryWhileBusy([&]() -> DWORD { return DeleteFileW(name.c_str()) ? ERROR_SUCCESS : GetLastError(); });
    if (code == ERROR_SUCCESS) return true;
    if (isMissing(code)) return false;
    if (isBusy(code)) throw IoError(path, busyMessage("rimozione", code));
    throwCode(path, "rimozione", code);
}

namespace {

// A name as people write it: without the \\?\ prefix when it is not needed.
fs::path plainName(std::wstring name) {
    if (name.rfind(L"\\\\?\\UNC\\", 0) == 0) name = L"\\\\" + name.substr(8);
    else if (name.rfind(L"\\\\?\\", 0) == 0 && name.size() < MAX_PATH - 12 + 4) name = name.substr(4);
    return fs::path(name);
}

} // namespace

fs::path finalTarget(const fs::path& path) {
    const std::wstring name = systemName(path);
    DWORD error = 0;
    const DWORD attributes = attributesOf(name, error);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return path;
    // A symbolic link or junction: ask the system where it finally leads.
    HANDLE h = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (isMissing(code)) return path; // a dangling link: the writers report the missing file
        throwCode(path, "lettura del collegamento", code);
    }
    std::wstring target(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(h, target.data(), static_cast<DWORD>(target.size()), FILE_NAME_NORMALIZED);
    if (length >= target.size()) {
        target.resize(length + 1);
        length = GetFinalPathNameByHandleW(h, target.data(), static_cast<DWORD>(target.size()), FILE_NAME_NORMALIZED);
    }
    const DWORD code = GetLastError();
    CloseHandle(h);
    if (length == 0 || length >= target.size()) throwCode(path, "lettura del collegamento", code);
    target.resize(length);
    return plainName(target);
}

bool isReadOnly(const fs::path& path) {
    const std::wstring name = systemName(path);
    DWORD error = 0;
    const DWORD attributes = attributesOf(name, error);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    if (attributes & FILE_ATTRIBUTE_READONLY) return true;
    // The folder's permissions may deny us writing: an open for writing tells, and
    // changes nothing.
    HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return false;
    }
    return GetLastError() == ERROR_ACCESS_DENIED;
}

void copyPermissions(const fs::path& from, File& to) {
    const std::wstring source = systemName(from);
    DWORD error = 0;
    const DWORD attributes = attributesOf(source, error);
    if (attributes == INVALID_FILE_ATTRIBUTES) return; // nothing to copy from: a new file
    // The marks people see in the file's properties (hidden, system, archive...).
    constexpr DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(handleOf(to.nativeHandle()), FileBasicInfo, &basic, sizeof basic))
        throwCode(to.path(), "impostazione dei permessi", GetLastError());
    basic.FileAttributes = (attributes & kept) ? (attributes & kept) : FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(handleOf(to.nativeHandle()), FileBasicInfo, &basic, sizeof basic))
        throwCode(to.path(), "impostazione dei permessi", GetLastError());

    // Permissions of its own (not only those the folder hands down) go with the file.
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(source.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return; // a file system without permissions (FAT, some shares): nothing to keep
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    bool own = (control & SE_DACL_PROTECTED) != 0;
    for (DWORD i = 0; dacl && !own && i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (GetAce(dacl, i, &ace) && !(static_cast<ACE_HEADER*>(ace)->AceFlags & INHERITED_ACE)) own = true;
    }
    DWORD code = ERROR_SUCCESS;
    if (own) {
        std::wstring target = systemName(to.path());
        const SECURITY_INFORMATION what =
            DACL_SECURITY_INFORMATION |
            ((control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION);
        code = SetNamedSecurityInfoW(target.data(), SE_FILE_OBJECT, what, nullptr, nullptr, dacl, nullptr);
    }
    LocalFree(descriptor);
    if (code != ERROR_SUCCESS) throwCode(to.path(), "impostazione dei permessi", code);
}

bool pathExists(const fs::path& path) {
    DWORD error = 0;
    if (attributesOf(systemName(path), error) != INVALID_FILE_ATTRIBUTES) return true;
    // A name being removed while someone still holds it open is still there.
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

} // namespace accise::platform

#endif
