#include "core/files/recordfile.h"

#include <algorithm>

#include "core/files/ioerror.h"
#include "core/files/platform.h"

namespace accise {

using platform::File;
using platform::OpenMode;
using platform::OpenResult;

namespace {

constexpr std::size_t kScanBlockBytes = 1 << 18;

// Puts a file back to `size` bytes after a failed write. Errors here are not
// reported over the write's own, which is the one the user needs to see.
void cutBack(const fs::path& file, std::uint64_t size) noexcept {
    try {
        File f;
        if (f.open(file, OpenMode::Write) != OpenResult::Opened) return;
        if (f.size() > size) {
            f.truncate(size);
            f.flushToDisk();
        }
        f.close();
    } catch (...) {
    }
}

} // namespace

RecordBlock::RecordBlock(std::string bytes, std::size_t recordSize) : bytes_(std::move(bytes)), size_(recordSize) {}

RecordBlock readRecords(const fs::path& file, std::size_t recordSize, IfMissing ifMissing) {
    File f;
    if (f.open(file, OpenMode::Read) == OpenResult::Missing) {
        if (ifMissing == IfMissing::Create) createIfMissing(file);
        return RecordBlock({}, recordSize);
    }
    std::string bytes;
    // Room beyond the size, so that the read that meets the end of the file does not
    // find the buffer full and copy it all into a larger one.
    bytes.resize(static_cast<std::size_t>(f.size()) + (1 << 16));
    std::size_t done = 0;
    while (true) {
        if (done == bytes.size()) bytes.resize(bytes.size() + (1 << 16)); // the file grew meanwhile
        const std::size_t n = f.read(bytes.data() + done, bytes.size() - done);
        if (n == 0) break;
        done += n;
    }
    bytes.resize(done);
    f.close();
    return RecordBlock(std::move(bytes), recordSize);
}

struct RecordScanner::Source {
    File file;
};

RecordScanner::RecordScanner(const fs::path& file, std::size_t recordSize) : recordSize_(recordSize) {
    auto source = std::make_unique<Source>();
    if (source->file.open(file, OpenMode::Read) == OpenResult::Missing) return;
    source_ = std::move(source);
    buffer_.resize(std::max<std::size_t>(kScanBlockBytes / recordSize_, 1) * recordSize_);
}

RecordScanner::~RecordScanner() = default;

std::string_view RecordScanner::nextBlock() {
    if (!source_) return {};
    std::size_t filled = 0;
    while (filled < buffer_.size()) {
        const std::size_t n = source_->file.read(buffer_.data() + filled, buffer_.size() - filled);
        if (n == 0) {
            source_.reset(); // the end of the file: a partial tail is no record
            tail_ = filled % recordSize_;
            break;
        }
        filled += n;
    }
    return {buffer_.data(), filled - filled % recordSize_};
}

void requireWholeRecords(const fs::path& file, const RecordBlock& block) {
    requireWholeRecords(file, block.bytes().size(), block.recordSize());
}

void requireWholeRecords(const fs::path& file, std::uint64_t size, std::size_t recordSize) {
    if (size % recordSize != 0)
        throw IoError(file, "file danneggiato: la dimensione (" + std::to_string(size) +
                                " byte) non è un multiplo di " + std::to_string(recordSize) +
                                " byte; nessuna modifica eseguita. Per spostare da parte la coda "
                                "incompleta: accise-cli repair CARTELLA_DI_LAVORO");
}

void requireChangeable(const fs::path& file) {
    if (platform::isReadOnly(file))
        throw IoError(file, "il file è in sola lettura: nessuna modifica eseguita");
}

void writeRecordAt(const fs::path& file, std::size_t index, std::string_view record) {
    writeBytesAt(file, static_cast<std::uint64_t>(index) * record.size(), record);
}

void writeBytesAt(const fs::path& file, std::uint64_t offset, std::string_view bytes) {
    requireChangeable(file);
    File f;
    f.open(file, OpenMode::WriteOrCreate);
    const std::uint64_t before = f.size();
    try {
        f.writeAt(offset, bytes);
        // Flushed like a replacement, so that a power cut cannot lose an append
        // that was reported as done.
        f.flushToDisk();
        f.close();
    } catch (...) {
        f = File();
        cutBack(file, before);
        throw;
    }
}

void replaceFileContent(const fs::path& file, std::string_view content) {
    // A register reached through a symbolic link: replace the file it names, so the
    // link and every other path to it keep seeing the new content.
    const fs::path target = platform::finalTarget(file);
    requireChangeable(target);
    fs::path temp = target;
    temp += ".~nuovo";
    try {
        File f;
        f.open(temp, OpenMode::CreateOrTruncate);
        platform::copyPermissions(target, f);
        f.writeAt(0, content);
        f.flushToDisk();
        f.close();
        platform::replaceFile(temp, target);
    } catch (...) {
        try {
            platform::removeFile(temp);
        } catch (const IoError&) {
            // The stray copy is reported by the check; the original is intact.
        }
        throw;
    }
    // Make the rename itself durable.
    platform::flushFolder(target.parent_path());
}

void truncateFile(const fs::path& file, std::uint64_t size) {
    requireChangeable(file);
    File f;
    if (f.open(file, OpenMode::Write) == OpenResult::Missing) throw IoError(file, "apertura: il file non esiste");
    f.truncate(size);
    f.flushToDisk();
    f.close();
}

void writeNewFile(const fs::path& file, std::string_view content) {
    File f;
    if (f.open(file, OpenMode::CreateNew) == OpenResult::Exists) throw IoError(file, "creazione: il file esiste già");
    try {
        f.writeAt(0, content);
        f.flushToDisk();
        f.close();
    } catch (...) {
        f = File();
        try {
            platform::removeFile(file);
        } catch (const IoError&) {
        }
        throw;
    }
    platform::flushFolder(file.parent_path());
}

void createIfMissing(const fs::path& file) {
    File f;
    f.open(file, OpenMode::WriteOrCreate);
    f.close();
}

bool fileExists(const fs::path& file) { return platform::pathExists(file); }

void writeWholeFile(const fs::path& file, std::string_view content) {
    requireChangeable(file);
    File f;
    f.open(file, OpenMode::CreateOrTruncate);
    f.writeAt(0, content);
    f.close();
}

} // namespace accise
