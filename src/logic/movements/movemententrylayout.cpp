#include "logic/movements/movemententrylayout.h"

#include <algorithm>
#include <initializer_list>

namespace accise {
namespace {

using namespace movementtexts;

bool oneOf(const std::string& value, std::initializer_list<const char*> set) {
    return std::any_of(set.begin(), set.end(), [&](const char* s) { return value == s; });
}

} // namespace

MovementLayout movementLayout(const LayoutInputs& in) {
    MovementLayout l;

    // Rule 8: the look of a load or an unload.
    if (in.TIPMOV == "C" || in.TIPMOV == "S") {
        const bool load = in.TIPMOV == "C";
        l.kind = load ? MovementKind::Load : MovementKind::Unload;
        l.caption = load ? kLoadCaption : kUnloadCaption;
        l.colour = load ? kLoadColour : kUnloadColour;
        l.movementLabel = load ? "CARICO" : "SCARICO";
        l.dateLabel = load ? "Data carico" : "Data scarico";
        l.labelsGreen = load;
        l.partnerLabel = load ? "Mittente" : "Destinatario";
        l.countryLabel = load ? "Paese di provenienza" : "Paese di destinazione";
        l.stockShown = !load;
    } else {
        l.dateLabel = "Data carico";
        l.partnerLabel = "Mittente";
        l.countryLabel = "Paese di provenienza";
    }

    // Rule 1: the litre counter of the brewhouse.
    l.counterShown = oneOf(in.CAUMOV, {"030", "109", "114"}) && in.PRODDO.rfind("B000", 0) == 0;
    // Rule 2.
    l.cumulativeShown = oneOf(in.TIPDOC, {"X-F", "DAN", "DSN", "XAB"});
    // Rule 4: a till receipt has no document date, number or partner.
    l.documentShown = in.TIPDOC != "SCF";
    l.numdocShown = l.documentShown;
    // Rule 5.
    l.guaranteeShown = l.kind == MovementKind::Unload && oneOf(in.TIPDOC, {"DAA", "EAD", "FBE", "ROR", "FBR", "NUL"});
    // Rule 6: the e-AD references.
    l.eadShown = oneOf(in.TIPDOC, {"EAD", "FBE", "ROR", "FBR", "NUL"});
    if (in.TIPDOC == "FBE") l.numdocShown = false;
    l.eadNumberFixed = in.TIPDOC == "FBE" || in.TIPDOC == "EAD";

    // Rules 7, 9, 10: Plato degree and excise follow the product's unit and the tax position.
    l.totalLabel = kTotalQuantity;
    if (in.unit) {
        l.totalLabel = *in.unit == MeasureUnit::Kilograms ? kTotalKilograms : kTotalLitres;
        l.platoShown = *in.unit == MeasureUnit::HectoDegrees;
    }
    const bool taxed = in.POSFIS.empty() || in.POSFIS == "001" || in.POSFIS == "002";
    l.exciseShown = l.platoShown && taxed;
    l.exciseLabel = in.POSFIS == "002"   ? kExciseSuspended
                    : in.POSFIS == "001" ? kExciseDeclared
                                         : kExcise;

    // Rule 11.
    l.packagedShown = in.TIPSTO == "N";
    l.totalEditable = !l.packagedShown;
    l.bulkCaption = in.TIPSTO == "N" ? kPackaged : in.TIPSTO == "S" ? kBulk : "";
    return l;
}

std::optional<std::string> fixedPartner(const std::string& tipdoc) {
    if (tipdoc == "DAC") return std::string(kCumulative);
    if (tipdoc == "DSC" || tipdoc == "X-E") return std::string(kVariousRecipients);
    return std::nullopt;
}

std::optional<std::string> fixedEadNumber(const std::string& tipdoc) {
    if (tipdoc == "FBE" || tipdoc == "EAD") return std::string("1");
    return std::nullopt;
}

std::optional<std::string> taxPositionForUnit(MeasureUnit unit, const std::string& posfis) {
    if (unit != MeasureUnit::HectoDegrees) return std::string(kNoExciseTaxPosition);
    if (posfis == kNoExciseTaxPosition) return std::string();
    return std::nullopt;
}

} // namespace accise
