#pragma once
// The address books INDIRIZZI_<kind>.DAT: one file per kind of partner (C clients,
// F suppliers, D recipients of e-AD documents, G guarantors, T carriers), each entry an
// address record with its own code, the file kept in ascending order of the
// denomination (byte-wise on the padded text, so capitals sort before lower case;
// equal denominations in order of arrival).
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "core/files/folders.h"
#include "core/files/prompt.h"
#include "core/records/address.h"

namespace accise {

namespace fs = std::filesystem;

enum class AddressSearch {
    Code = 0,       // same entry code
    ExciseCode = 1, // same excise code (block 1 identifier), both sides padded
    Name = 2,       // same denomination, ignoring letter case
    VatNumber = 3,  // same VAT number (block 2 identifier), both sides padded
};

// The first entry of the file, in file order, that matches the probe; trimmed.
// The file is created empty when missing.
// Letter case is folded as the Windows-1252 code page does for the Italian locale:
// a-z, the accented Latin letters (à/À ... þ/Þ, but not ß) and š/Š, œ/Œ, ž/Ž, ÿ/Ÿ.
std::optional<AddressRecord> searchAddress(const fs::path& book, AddressSearch kind, const AddressRecord& probe);
std::optional<AddressRecord> searchAddress(const Folders& folders, char bookKind, AddressSearch kind,
                                           const AddressRecord& probe);

// Ordered insertion on the denomination, under the file's lock; a code of 0 becomes
// the highest code present + 1. Returns the code written.
std::int32_t insertAddress(const fs::path& book, AddressRecord entry, Prompt& prompt);

// Removes the entry with this code; false when there is none.
bool deleteAddress(const fs::path& book, std::int32_t code, Prompt& prompt);

// Replaces the entry that has entry.code with `entry`, moved to the place its
// denomination now takes: the result of deleting the old code and inserting the entry
// with that code, done as one locked rewrite so that a crash can never leave the entry
// deleted and not yet re-inserted. Returns the code written.
std::int32_t modifyAddress(const fs::path& book, AddressRecord entry, Prompt& prompt);

// Every entry in file order, trimmed; a missing file has none.
std::vector<AddressRecord> readAddressBook(const fs::path& book);

// The kind letter of an address book's base name ("INDIRIZZI_F" -> 'F'): its 11th
// character; '\0' for a shorter name.
char addressBookKind(std::string_view baseName);

// The word the windows use for a kind: "Cliente", "Fornitore", "Garante",
// "Azienda di Trasporto", "Destinatario DAA"; empty for any other letter.
std::string_view addressKindCaption(char kind);

} // namespace accise
