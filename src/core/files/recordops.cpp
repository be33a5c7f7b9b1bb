#include "core/files/recordops.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/files/binary.h"
#include "core/files/lock.h"
#include "core/files/recordchecks.h"
#include "core/files/recordfile.h"

namespace accise {

std::int32_t recordNumberOf(std::string_view record) { return binary::getInt32(record.data()); }
void setRecordNumber(std::string& record, std::int32_t number) { binary::putInt32(record.data(), number); }

KeyCompare textKeyAt(std::size_t offset, std::size_t width) {
    return [offset, width](std::string_view a, std::string_view b) {
        // Compare the whole stored field (length byte excluded): both sides are padded.
        return std::memcmp(a.data() + offset + 1, b.data() + offset + 1, width);
    };
}

std::int32_t orderedInsert(const fs::path& file, std::size_t recordSize, std::string record,
                           const KeyCompare& compare, Prompt& prompt) {
    requireFiniteNumbers(file, record);
    requireNoControlCharacters(file, record);
    FileLock lock(file, prompt);
    const RecordBlock block = readRecords(file, recordSize);
    requireWholeRecords(file, block);
    if (recordNumberOf(record) == 0) {
        std::int32_t highest = 0;
        for (std::size_t i = 0; i < block.count(); ++i) highest = std::max(highest, recordNumberOf(block.at(i)));
        setRecordNumber(record, nextRecordNumber(file, highest));
    }
    std::size_t position = block.count();
    for (std::size_t i = 0; i < block.count(); ++i) {
        if (compare(block.at(i), record) > 0) {
            position = i;
            break;
        }
    }
    if (position == block.count()) {
        writeRecordAt(file, position, record);
    } else {
        std::string content;
        content.reserve(block.bytes().size() + recordSize);
        content.append(block.bytes(), 0, position * recordSize);
        content.append(record);
        content.append(block.bytes(), position * recordSize);
        replaceFileContent(file, content);
    }
    return recordNumberOf(record);
}

std::int32_t orderedReplace(const fs::path& file, std::size_t recordSize, std::int32_t oldNumber,
                            std::string record, const KeyCompare& compare, Prompt& prompt) {
    requireFiniteNumbers(file, record);
    requireNoControlCharacters(file, record);
    FileLock lock(file, prompt);
    const RecordBlock block = readRecords(file, recordSize);
    requireWholeRecords(file, block);

    // The records that deleting the old number would leave.
    std::vector<std::string_view> kept;
    kept.reserve(block.count() + 1);
    bool removed = false;
    for (std::size_t i = 0; i < block.count(); ++i) {
        if (!removed && recordNumberOf(block.at(i)) == oldNumber) {
            removed = true;
            continue;
        }
        kept.push_back(block.at(i));
    }
    // Then the insertion: numbering of a 0 record, place before the first greater key.
    if (recordNumberOf(record) == 0) {
        std::int32_t highest = 0;
        for (auto r : kept) highest = std::max(highest, recordNumberOf(r));
        setRecordNumber(record, nextRecordNumber(file, highest));
    }
    const auto place = std::find_if(kept.begin(), kept.end(), [&](std::string_view r) { return compare(r, record) > 0; });
    kept.insert(place, record);

    std::string content;
    content.reserve(kept.size() * recordSize);
    for (auto r : kept) content.append(r);
    replaceFileContent(file, content);
    return recordNumberOf(record);
}

bool recordDelete(const fs::path& file, std::size_t recordSize, std::int32_t number, Prompt& prompt) {
    FileLock lock(file, prompt);
    const RecordBlock block = readRecords(file, recordSize);
    for (std::size_t i = 0; i < block.count(); ++i) {
        if (recordNumberOf(block.at(i)) != number) continue;
        requireWholeRecords(file, block);
        std::string content = block.bytes();
        content.erase(i * recordSize, recordSize);
        replaceFileContent(file, content);
        return true;
    }
    return false;
}

} // namespace accise
