#include "core/tables/addressbook.h"

#include <algorithm>
#include <string>

#include "core/files/lock.h"
#include "core/files/recordchecks.h"
#include "core/files/recordfile.h"
#include "core/files/recordops.h"
#include "core/files/text1252.h"

namespace accise {
namespace {

// The denomination (block 1 name): the sort key of every address book.
constexpr std::size_t kNameOffset = 42;
constexpr std::size_t kNameWidth = 100;
constexpr std::size_t kExciseWidth = 18;
constexpr std::size_t kVatWidth = 18;

const KeyCompare& byName() {
    static const KeyCompare compare = textKeyAt(kNameOffset, kNameWidth);
    return compare;
}

// Upper case of one Windows-1252 byte, as the code page's own case mapping does.
unsigned char upper1252(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20); // à..þ, not ÷
    switch (c) {
    case 0x9A: return 0x8A; // š
    case 0x9C: return 0x8C; // œ
    case 0x9E: return 0x8E; // ž
    case 0xFF: return 0x9F; // ÿ
    default: return c;
    }
}

std::string foldedName(const std::string& utf8) {
    std::string bytes = padded1252(utf8, kNameWidth);
    for (char& c : bytes) c = static_cast<char>(upper1252(static_cast<unsigned char>(c)));
    return bytes;
}

// Compares the decoded fields, so that a stored text whose length byte is short of its
// width (files of kind D come from elsewhere) still compares on its padded form.
bool matches(AddressSearch kind, const AddressRecord& stored, const AddressRecord& probe) {
    switch (kind) {
    case AddressSearch::Code: return stored.code == probe.code;
    case AddressSearch::ExciseCode: return padded1252(stored.id1, kExciseWidth) == padded1252(probe.id1, kExciseWidth);
    case AddressSearch::Name: return foldedName(stored.name1) == foldedName(probe.name1);
    case AddressSearch::VatNumber: return padded1252(stored.id2, kVatWidth) == padded1252(probe.id2, kVatWidth);
    }
    return false;
}

AddressRecord trimmedEntry(std::string_view bytes) {
    AddressRecord a = decodeAddress(bytes);
    trimAddress(a);
    return a;
}

} // namespace

std::optional<AddressRecord> searchAddress(const fs::path& book, AddressSearch kind, const AddressRecord& probe) {
    AddressRecord padded = probe;
    padAddress(padded);
    const RecordBlock block = readRecords(book, kAddressSize, IfMissing::Create);
    for (std::size_t i = 0; i < block.count(); ++i) {
        const AddressRecord stored = decodeAddress(block.at(i));
        if (matches(kind, stored, padded)) return trimmedEntry(block.at(i));
    }
    return std::nullopt;
}

std::optional<AddressRecord> searchAddress(const Folders& folders, char bookKind, AddressSearch kind,
                                           const AddressRecord& probe) {
    return searchAddress(folders.addressBook(bookKind), kind, probe);
}

std::int32_t insertAddress(const fs::path& book, AddressRecord entry, Prompt& prompt) {
    requireNoControlCharacters(book, entry);
    padAddress(entry);
    return orderedInsert(book, kAddressSize, encodeAddress(entry), byName(), prompt);
}

bool deleteAddress(const fs::path& book, std::int32_t code, Prompt& prompt) {
    return recordDelete(book, kAddressSize, code, prompt);
}

std::int32_t modifyAddress(const fs::path& book, AddressRecord entry, Prompt& prompt) {
    requireNoControlCharacters(book, entry);
    padAddress(entry);
    // Delete of the old code and insert with that code, as one safe change.
    return orderedReplace(book, kAddressSize, entry.code, encodeAddress(entry), byName(), prompt);
}

std::vector<AddressRecord> readAddressBook(const fs::path& book) {
    const RecordBlock block = readRecords(book, kAddressSize, IfMissing::Empty);
    std::vector<AddressRecord> entries;
    entries.reserve(block.count());
    for (std::size_t i = 0; i < block.count(); ++i) entries.push_back(trimmedEntry(block.at(i)));
    return entries;
}

char addressBookKind(std::string_view baseName) { return baseName.size() >= 11 ? baseName[10] : '\0'; }

std::string_view addressKindCaption(char kind) {
    switch (kind) {
    case 'C': return "Cliente";
    case 'F': return "Fornitore";
    case 'G': return "Garante";
    case 'T': return "Azienda di Trasporto";
    case 'D': return "Destinatario DAA";
    default: return {};
    }
}

} // namespace accise
