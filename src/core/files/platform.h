#pragma once
// The operating system's file calls, in one place. Everything else in the core
// reaches files only through this interface; there is one implementation per system
// (platform_posix.cpp, platform_windows.cpp). Failures throw IoError with the path
// and the system's message, except the outcomes that callers expect and decide on
// (a missing file, a name that already exists), which are return values.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace accise::platform {

namespace fs = std::filesystem;

enum class OpenMode {
    Read,            // an existing file, for reading
    Write,           // an existing file, for reading and writing; nothing is truncated
    WriteOrCreate,   // as Write, creating the file empty when it does not exist
    CreateNew,       // a new file only: fails (Exists) when the name is taken
    CreateOrTruncate // a new file, or an existing one emptied
};

enum class OpenResult {
    Opened,
    Missing, // Read/Write: no file of that name (or its folder is missing)
    Exists   // CreateNew: the name is already taken
};

// An open file. Closed by the destructor (errors ignored) or by close() (reported).
// Opening a folder for reading throws IoError ("è una cartella, non un file").
class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    OpenResult open(const fs::path& path, OpenMode mode);
    bool isOpen() const;
    const fs::path& path() const { return path_; }

    // Reads the next bytes from the current position; returns 0 at the end.
    std::size_t read(char* buffer, std::size_t size);
    // Writes all of `data` at `offset` (the current position is not used nor moved).
    void writeAt(std::uint64_t offset, std::string_view data);
    std::uint64_t size() const;
    void truncate(std::uint64_t size);
    // Waits until the written data is on the disk.
    void flushToDisk();
    void close();

#ifdef _WIN32
    void* nativeHandle() const { return handle_; }
#else
    int nativeHandle() const { return fd_; }
#endif

private:
    void release() noexcept;

    fs::path path_;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// Renames `temp` over `target` in one atomic step (both in the same folder).
void replaceFile(const fs::path& temp, const fs::path& target);

// Makes the names in a folder (a rename, a new file) durable. Best effort: systems
// and file systems that cannot do it are not an error.
void flushFolder(const fs::path& folder);

// Removes a file. Returns false when there was none; other failures throw.
bool removeFile(const fs::path& path);

// The file a path finally names: symbolic links are followed (a relative target
// counts from the link's folder). A path that is no link comes back unchanged, also
// when nothing of that name exists.
fs::path finalTarget(const fs::path& path);

// True when we may not change the file: its permissions deny us writing, or it is
// marked read-only for everyone (a mark that even an administrator's writes honour).
bool isReadOnly(const fs::path& path);

// Gives the open file `to` the permissions and group of the file `from`, and its
// owner where the system allows us; used so that a file written beside another and
// renamed over it keeps what the folder's users rely on.
void copyPermissions(const fs::path& from, File& to);

// True when a file or folder of that name exists (a link counts when its target does).
bool pathExists(const fs::path& path);

} // namespace accise::platform
