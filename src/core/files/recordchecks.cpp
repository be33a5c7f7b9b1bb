#include "core/files/recordchecks.h"

#include <limits>

#include "core/files/ioerror.h"
#include "core/records/recordfields.h"
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

std::int32_t nextRecordNumber(const std::filesystem::path& file, std::int32_t highest, std::int32_t step) {
    if (highest > std::numeric_limits<std::int32_t>::max() - step)
        throw IoError(file, "numeri di record esauriti (il più alto è " + std::to_string(highest) +
                                "): nessuna modifica eseguita");
    return highest + step;
}

} // namespace accise
