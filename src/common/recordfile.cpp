#include "common/recordfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/ioerror.h"

namespace accise {
namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void close(const fs::path& path) {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) throwErrno(path, "chiusura");
    }

private:
    int fd_;
};

void writeAll(int fd, const char* data, std::size_t size, off_t offset, const fs::path& path) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            throwErrno(path, "scrittura");
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
}

} // namespace

RecordBlock::RecordBlock(std::string bytes, std::size_t recordSize) : bytes_(std::move(bytes)), size_(recordSize) {}

RecordBlock readRecords(const fs::path& file, std::size_t recordSize, IfMissing ifMissing) {
    Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno != ENOENT) throwErrno(file, "apertura");
        if (ifMissing == IfMissing::Create) createIfMissing(file);
        return RecordBlock({}, recordSize);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) throwErrno(file, "lettura");
    if (S_ISDIR(st.st_mode)) throw IoError(file, "apertura: è una cartella, non un file");
    std::string bytes;
    // Room beyond the size, so that the read that meets the end of the file does not
    // find the buffer full and copy it all into a larger one.
    bytes.resize(static_cast<std::size_t>(st.st_size) + (1 << 16));
    std::size_t done = 0;
    while (true) {
        if (done == bytes.size()) bytes.resize(bytes.size() + (1 << 16)); // the file grew meanwhile
        const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            throwErrno(file, "lettura");
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    fd.close(file);
    return RecordBlock(std::move(bytes), recordSize);
}

void requireWholeRecords(const fs::path& file, const RecordBlock& block) {
    if (block.tailBytes() != 0)
        throw IoError(file, "file danneggiato: la dimensione (" + std::to_string(block.bytes().size()) +
                                " byte) non è un multiplo di " + std::to_string(block.recordSize()) +
                                " byte; nessuna modifica eseguita");
}

void writeRecordAt(const fs::path& file, std::size_t index, std::string_view record) {
    Fd fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    if (fd.get() < 0) throwErrno(file, "apertura");
    writeAll(fd.get(), record.data(), record.size(), static_cast<off_t>(index * record.size()), file);
    fd.close(file);
}

void replaceFileContent(const fs::path& file, std::string_view content) {
    fs::path temp = file;
    temp += ".~nuovo";
    {
        Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
        if (fd.get() < 0) throwErrno(temp, "creazione");
        try {
            writeAll(fd.get(), content.data(), content.size(), 0, temp);
            if (::fsync(fd.get()) != 0) throwErrno(temp, "scrittura su disco");
            fd.close(temp);
        } catch (...) {
            ::unlink(temp.c_str());
            throw;
        }
    }
    if (::rename(temp.c_str(), file.c_str()) != 0) {
        const int code = errno;
        ::unlink(temp.c_str());
        errno = code;
        throwErrno(file, "sostituzione");
    }
    // Make the rename itself durable.
    const fs::path dir = file.has_parent_path() ? file.parent_path() : fs::path(".");
    Fd dfd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dfd.get() >= 0) ::fsync(dfd.get());
}

void createIfMissing(const fs::path& file) {
    Fd fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    if (fd.get() < 0) throwErrno(file, "creazione");
    fd.close(file);
}

bool fileExists(const fs::path& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0;
}

void writeWholeFile(const fs::path& file, std::string_view content) {
    Fd fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0) throwErrno(file, "creazione");
    writeAll(fd.get(), content.data(), content.size(), 0, file);
    fd.close(file);
}

} // namespace accise
