#pragma once
// Fixed-length record files: a plain sequence of records with no header, record i
// at byte i × size. Files are read whole in large blocks; every change that moves
// records is written to a file beside the original and renamed into place, so a
// process that dies half-way leaves either the old file or the new one, never a mix.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace accise {

namespace fs = std::filesystem;

// The records of one file, as read.
class RecordBlock {
public:
    RecordBlock() = default;
    RecordBlock(std::string bytes, std::size_t recordSize);

    std::size_t recordSize() const { return size_; }
    std::size_t count() const { return size_ ? bytes_.size() / size_ : 0; }
    // Bytes at the end that do not make a whole record (a damaged or truncated file).
    std::size_t tailBytes() const { return size_ ? bytes_.size() % size_ : 0; }
    std::string_view at(std::size_t index) const { return {bytes_.data() + index * size_, size_}; }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
    std::size_t size_ = 0;
};

enum class IfMissing { Create, Empty };

// Reads the whole file. A missing file is created empty (IfMissing::Create) or
// simply read as empty (IfMissing::Empty). Any other failure throws IoError.
RecordBlock readRecords(const fs::path& file, std::size_t recordSize, IfMissing ifMissing = IfMissing::Create);

// Writers refuse to change a file whose size is not a whole number of records:
// rewriting it would silently drop the damaged tail. Throws IoError, whose message
// names the repair command.
void requireWholeRecords(const fs::path& file, const RecordBlock& block);
void requireWholeRecords(const fs::path& file, std::uint64_t size, std::size_t recordSize);

// Reads the whole records of a file in order, a block at a time into one reused
// buffer: the scans that visit every record of a year need no copy of the whole
// file. A missing file has no records; a partial tail is left out, as readers do.
class RecordScanner {
public:
    RecordScanner(const fs::path& file, std::size_t recordSize);
    ~RecordScanner();
    RecordScanner(const RecordScanner&) = delete;
    RecordScanner& operator=(const RecordScanner&) = delete;

    // The next whole records (a multiple of the record size); empty at the end.
    std::string_view nextBlock();
    // Bytes at the end that did not make a whole record; known once the end is reached.
    std::size_t tailBytes() const { return tail_; }

private:
    struct Source;
    std::unique_ptr<Source> source_; // none once the end is reached
    std::string buffer_;             // a whole number of records
    std::size_t recordSize_;
    std::size_t tail_ = 0;
};

// Calls visit(record) for every whole record of the file, in order.
template <class Visit>
void forEachRecord(const fs::path& file, std::size_t recordSize, Visit&& visit) {
    RecordScanner scanner(file, recordSize);
    for (std::string_view block = scanner.nextBlock(); !block.empty(); block = scanner.nextBlock())
        for (std::size_t at = 0; at < block.size(); at += recordSize) visit(block.substr(at, recordSize));
}

// Throws IoError when the file exists and we may not change it (read-only).
void requireChangeable(const fs::path& file);

// Writes one record at index `index` (which may be the current count: an append).
// The write is flushed to disk; when it fails (a full disk) the file is cut back to
// its old size before the error is reported, so no partial record is left behind.
void writeRecordAt(const fs::path& file, std::size_t index, std::string_view record);

// The same for any bytes at a byte offset (several records appended at once).
void writeBytesAt(const fs::path& file, std::uint64_t offset, std::string_view bytes);

// Replaces the whole content of the file safely (write beside, flush, rename). The
// new file keeps the old one's permissions, group and, where permitted, owner; a
// symbolic link keeps pointing at its file, whose content is replaced; a read-only
// file is refused.
void replaceFileContent(const fs::path& file, std::string_view content);

// Cuts the file to `size` bytes and flushes it to disk.
void truncateFile(const fs::path& file, std::uint64_t size);

// Writes a new file that must not exist yet (Exists is an IoError).
void writeNewFile(const fs::path& file, std::string_view content);

// Creates the file empty when it does not exist.
void createIfMissing(const fs::path& file);

bool fileExists(const fs::path& file);

// Writes a small file whole (single-record files, text files): create or truncate.
void writeWholeFile(const fs::path& file, std::string_view content);

} // namespace accise
