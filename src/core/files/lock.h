#pragma once
// Lock markers: a writer of a shared record file creates the empty file "<file>$"
// before it opens the file and removes it after closing it. Readers never lock.
#include <filesystem>

#include "core/files/prompt.h"

namespace accise {

namespace fs = std::filesystem;

fs::path lockMarkerOf(const fs::path& file);

// Waits while the marker exists, telling the user at every attempt; from the 11th
// attempt on also offers to take the marker over. The marker is created exclusively,
// so two writers testing at the same instant cannot both proceed.
void lockFile(const fs::path& file, Prompt& prompt);

// Removes the marker; a marker that has vanished meanwhile is no error.
void unlockFile(const fs::path& file);

// Holds the lock of one file for a scope. The lock is released also when the
// command aborts with an error: our writers never leave a file half-changed, so
// there is nothing for the next writer to be warned about.
class FileLock {
public:
    FileLock(fs::path file, Prompt& prompt);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    fs::path file_;
};

// The texts the lock wait shows.
std::string lockWaitMessage(const fs::path& file);
std::string lockOverrideQuestion(const fs::path& file);

} // namespace accise
