#include "common/recordfile.h"

#include "common/ioerror.h"
#include "common/platform.h"

namespace accise {

using platform::File;
using platform::OpenMode;
using platform::OpenResult;

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

void requireWholeRecords(const fs::path& file, const RecordBlock& block) {
    if (block.tailBytes() != 0)
        throw IoError(file, "file danneggiato: la dimensione (" + std::to_string(block.bytes().size()) +
                                " byte) non è un multiplo di " + std::to_string(block.recordSize()) +
                                " byte; nessuna modifica eseguita");
}

void writeRecordAt(const fs::path& file, std::size_t index, std::string_view record) {
    File f;
    f.open(file, OpenMode::WriteOrCreate);
    f.writeAt(static_cast<std::uint64_t>(index) * record.size(), record);
    f.close();
}

void replaceFileContent(const fs::path& file, std::string_view content) {
    fs::path temp = file;
    temp += ".~nuovo";
    try {
        File f;
        f.open(temp, OpenMode::CreateOrTruncate);
        f.writeAt(0, content);
        f.flushToDisk();
        f.close();
        platform::replaceFile(temp, file);
    } catch (...) {
        try {
            platform::removeFile(temp);
        } catch (const IoError&) {
            // The stray copy is reported by the check; the original is intact.
        }
        throw;
    }
    // Make the rename itself durable.
    platform::flushFolder(file.parent_path());
}

void createIfMissing(const fs::path& file) {
    File f;
    f.open(file, OpenMode::WriteOrCreate);
    f.close();
}

bool fileExists(const fs::path& file) { return platform::pathExists(file); }

void writeWholeFile(const fs::path& file, std::string_view content) {
    File f;
    f.open(file, OpenMode::CreateOrTruncate);
    f.writeAt(0, content);
    f.close();
}

} // namespace accise
