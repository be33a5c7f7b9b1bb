#include "core/books/internaloperation.h"

#include "core/files/text1252.h"
#include "core/tables/dates.h"
#include "core/tables/registers.h"

namespace accise {

Movement internalOperationRecord(const char* documentType, double date, const std::string& NUMDOC,
                                 const std::string& ANNOTA) {
    Movement m = blankMovement();
    m.TIPDES = "1";
    m.TIPREC = "C";
    m.TIPOPE = "I";
    m.TIPDOC = documentType;
    m.CODPAE = "IT";
    m.DATMOV = date;
    m.DATDOC = date;
    m.NUMDOC = NUMDOC;
    m.ANNOTA = ANNOTA;
    return m;
}

std::string registerOffice(const std::vector<TableRecord>& registers, const RegisterKey& key) {
    for (const TableRecord& reg : registers) {
        if (trimmed(reg.col[kRegProtocolCol]) == key.NUMPRO &&
            std::to_string(yearOf(reg.nums[kRegProtocolDateNum])) == key.ANNPRO &&
            std::string(1, registerTypeLetter(reg.ints[kRegTypeInt])) == key.TIPREG)
            return reg.col[kRegOfficeCol];
    }
    return {};
}

} // namespace accise
