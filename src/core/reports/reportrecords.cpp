#include "core/reports/reportrecords.h"

#include <string>
#include <vector>

#include "core/files/ioerror.h"
#include "core/files/recordchecks.h"
#include "core/files/recordops.h"

namespace accise {

void refusePartialTail(const std::filesystem::path& file, std::size_t tailBytes, std::size_t recordSize) {
    if (tailBytes == 0) return;
    throw IoError(file, "file danneggiato: l'ultimo record è incompleto (" + std::to_string(tailBytes) +
                            " byte oltre i record di " + std::to_string(recordSize) +
                            " byte); lettura non eseguita. Per spostare da parte la coda incompleta: "
                            "accise-cli repair CARTELLA_DI_LAVORO");
}

void requireFiniteFigures(const std::filesystem::path& file, std::string_view record) {
    const std::vector<std::string> fields = nonFiniteFieldsOf(record);
    if (fields.empty()) return;
    std::string names;
    for (const std::string& f : fields) names += (names.empty() ? "" : ", ") + f;
    throw IoError(file, "record n. " + std::to_string(recordNumberOf(record)) + ": il campo " + names +
                            " non è un numero valido (NaN o infinito); lettura non eseguita");
}

} // namespace accise
