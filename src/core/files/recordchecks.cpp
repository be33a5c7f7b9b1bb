#include "core/files/recordchecks.h"

#include <limits>

#include "core/files/ioerror.h"
#include "core/records/recordfields.h"
#include "core/records/address.h"
#include "core/records/tablerecord.h"

namespace accise {

std::vector<std::string> nonFiniteFieldsOf(std::string_view record) {
    if (record.size() == kMovementSize) return nonFiniteNumberFields(movementFields(), record);
    if (record.size() == kTableSize) return nonFiniteTableNumbers(record);
    return {}; // address records hold no floating-point numbers
}

void requireFiniteNumbers(const std::filesystem::path& file, std::string_view record) {
    const std::vector<std::string> fields = nonFiniteFieldsOf(record);
    if (fields.empty()) return;
    std::string names;
    for (const std::string& f : fields) names += (names.empty() ? "" : ", ") + f;
    throw IoError(file, "numero non valido (NaN o infinito) nel campo " + names + ": nessuna modifica eseguita");
}

namespace {

template <class R>
std::vector<std::string> controlCharacterMembers(const FieldList<R>& fields, const R& record) {
    std::vector<std::string> names;
    for (const auto& f : fields)
        if (auto s = std::get_if<std::string R::*>(&f.member); s && containsControlCharacter(record.**s))
            names.emplace_back(f.name);
    return names;
}

void refuse(const std::filesystem::path& file, const std::vector<std::string>& fields) {
    if (!fields.empty()) throw IoError(file, controlCharacterMessage(fields));
}

} // namespace

std::vector<std::string> controlCharacterFieldsOf(const Movement& record) {
    return controlCharacterMembers(movementFields(), record);
}

std::vector<std::string> controlCharacterFieldsOf(const AddressRecord& record) {
    return controlCharacterMembers(addressFields(), record);
}

std::vector<std::string> controlCharacterFieldsOf(std::string_view record) {
    if (record.size() == kMovementSize) return controlCharacterTextFields(movementFields(), record);
    if (record.size() == kAddressSize) return controlCharacterTextFields(addressFields(), record);
    return {}; // table records keep their own free-form blocks
}

void requireNoControlCharacters(const std::filesystem::path& file, const Movement& record) {
    refuse(file, controlCharacterFieldsOf(record));
}

void requireNoControlCharacters(const std::filesystem::path& file, const AddressRecord& record) {
    refuse(file, controlCharacterFieldsOf(record));
}

std::string controlCharacterMessage(const std::vector<std::string>& fields) {
    std::string names;
    for (const std::string& f : fields) names += (names.empty() ? "" : ", ") + f;
    return "carattere non ammesso (a capo, TAB o altro carattere di controllo) nel campo " + names +
           ": nessuna modifica eseguita";
}

void requireNoControlCharacters(const std::filesystem::path& file, std::string_view record) {
    refuse(file, controlCharacterFieldsOf(record));
}

bool containsControlCharacter(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x20 || b == 0x7F) return true;
        // U+0080..U+009F: C2 80..C2 9F.
        if (b == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) <= 0x9F &&
            static_cast<unsigned char>(utf8[i + 1]) >= 0x80)
            return true;
    }
    return false;
}

std::int32_t nextRecordNumber(const std::filesystem::path& file, std::int32_t highest, std::int32_t step) {
    if (highest > std::numeric_limits<std::int32_t>::max() - step)
        throw IoError(file, "numeri di record esauriti (il più alto è " + std::to_string(highest) +
                                "): nessuna modifica eseguita");
    return highest + step;
}

} // namespace accise
