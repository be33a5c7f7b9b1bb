#include "core/files/lock.h"

#include "core/files/ioerror.h"
#include "core/files/platform.h"

namespace accise {

fs::path lockMarkerOf(const fs::path& file) {
    fs::path marker = file;
    marker += "$";
    return marker;
}

std::string lockWaitMessage(const fs::path& file) {
    return "ATTENDERE! IL FILE: " + file.string() + " E` APERTO DA UN ALTRO UTENTE \r\r PREMI OK PER RIPROVARE ";
}

std::string lockOverrideQuestion(const fs::path& file) {
    return "ATTENZIONE! ACCERTARSI CHE IL FILE: " + file.string() +
           " NON SIA APERTO DA UN ALTRO UTENTE\r\r PREMI \"YES\" SE NESSUN UTENTE STA UTILIZZANDO IL FILE";
}

void lockFile(const fs::path& file, Prompt& prompt) {
    const fs::path marker = lockMarkerOf(file);
    int attempts = 0;
    while (true) {
        platform::File created;
        if (created.open(marker, platform::OpenMode::CreateNew) == platform::OpenResult::Opened) {
            created.close();
            return;
        }
        ++attempts;
        prompt.information(lockWaitMessage(file));
        if (attempts > 10 && prompt.question(lockOverrideQuestion(file))) {
            // Taking over a marker left by someone else: create or truncate it.
            platform::File taken;
            taken.open(marker, platform::OpenMode::CreateOrTruncate);
            taken.close();
            return;
        }
    }
}

void unlockFile(const fs::path& file) {
    platform::removeFile(lockMarkerOf(file));
}

FileLock::FileLock(fs::path file, Prompt& prompt) : file_(std::move(file)) { lockFile(file_, prompt); }

FileLock::~FileLock() {
    try {
        unlockFile(file_);
    } catch (const IoError&) {
        // A marker we cannot remove is met by the next writer's wait and override.
    }
}

} // namespace accise
