#include "logic/shell/savenotice.h"

#include "core/tables/dates.h"
#include "core/tables/numbers.h"

namespace accise {
namespace {

std::string trimmedText(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// "Scarico, 100 l, accisa 35,88": the kind, the quantity in the unit the movement
// carries (kilograms for raw materials by weight, litres otherwise) and the excise
// when there is any.
std::string movementFigures(const Movement& m) {
    const std::string kind = trimmedText(m.TIPMOV);
    std::string text = kind == "C" ? "Carico" : kind == "S" ? "Scarico" : kind;
    const bool byWeight = m.QTALIT == 0 && m.QTAKG != 0;
    text += ", " + formatNumber(byWeight ? m.QTAKG : m.QTALIT, 0, 0) + (byWeight ? " kg" : " l");
    if (m.ACCISA != 0) text += ", accisa " + formatNumber(m.ACCISA, 0, 2);
    return text;
}

} // namespace

std::string movementSavedNotice(EntryMode mode, const Movement& saved, const SaveResult& result,
                                const Movement& corrected) {
    const std::string number = std::to_string(result.NUMREC);
    switch (mode) {
    case EntryMode::Insert:
        return "Movimento n. " + number + " registrato (" + movementFigures(saved) + ")";
    case EntryMode::Modify:
        return "Movimento n. " + number + " modificato (" + movementFigures(saved) + ")";
    case EntryMode::CorrectionCancel:
        return "Rettifica n. " + number + " registrata: annulla il movimento n. " +
               std::to_string(corrected.NUMREC);
    case EntryMode::CorrectionModify:
        return "Rettifica n. " + number + " registrata: sostituisce il movimento n. " +
               std::to_string(corrected.NUMREC) + " (" + movementFigures(saved) + ")";
    }
    return {};
}

std::string dutySavedNotice(DutyKind kind, bool alcopp, const Movement& saved, bool correction) {
    const std::string letter(1, static_cast<char>(kind));
    if (correction) return "Rettifica del record " + letter + " registrata";
    if (kind != DutyKind::Summary) return "Record " + letter + " registrato";
    // The excise summary: what is owed, by day (registered consignee) or by period.
    if (alcopp)
        return "Riepilogo accisa del " + formatDate(saved.DATMOV) + " registrato (accisa " +
               formatNumber(saved.QTAKG, 0, 2) + ")";
    return "Riepilogo accisa periodo " + trimmedText(saved.CODPAE) + "/" + trimmedText(saved.ANNPRO) +
           " registrato (da versare " + formatNumber(saved.VALAUX, 0, 2) + ")";
}

} // namespace accise
