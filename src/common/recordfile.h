#pragma once
// Fixed-length record files: a plain sequence of records with no header, record i
// at byte i × size. Files are read whole in large blocks; every change that moves
// records is written to a file beside the original and renamed into place, so a
// process that dies half-way leaves either the old file or the new one, never a mix.
#include <cstddef>
#include <filesystem>
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
// rewriting it would silently drop the damaged tail. Throws IoError.
void requireWholeRecords(const fs::path& file, const RecordBlock& block);

// Writes one record at index `index` (which may be the current count: an append).
void writeRecordAt(const fs::path& file, std::size_t index, std::string_view record);

// Replaces the whole content of the file safely (write beside, flush, rename).
void replaceFileContent(const fs::path& file, std::string_view content);

// Creates the file empty when it does not exist.
void createIfMissing(const fs::path& file);

bool fileExists(const fs::path& file);

// Writes a small file whole (single-record files, text files): create or truncate.
void writeWholeFile(const fs::path& file, std::string_view content);

} // namespace accise
