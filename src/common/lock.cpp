#include "common/lock.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "common/ioerror.h"

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
        const int fd = ::open(marker.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return;
        }
        if (errno != EEXIST) throwErrno(marker, "creazione del segnalino di blocco");
        ++attempts;
        prompt.information(lockWaitMessage(file));
        if (attempts > 10 && prompt.question(lockOverrideQuestion(file))) {
            // Taking over a marker left by someone else: create or truncate it.
            const int taken = ::open(marker.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
            if (taken < 0) throwErrno(marker, "creazione del segnalino di blocco");
            ::close(taken);
            return;
        }
    }
}

void unlockFile(const fs::path& file) {
    const fs::path marker = lockMarkerOf(file);
    if (::unlink(marker.c_str()) != 0 && errno != ENOENT) throwErrno(marker, "rimozione del segnalino di blocco");
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
