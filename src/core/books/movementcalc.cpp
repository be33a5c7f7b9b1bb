#include "core/books/movementcalc.h"

#include <cmath>
#include <functional>

#include "core/files/binary.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/records/movementview.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"

namespace accise {
namespace {

namespace off = movement_offset;

// Fields the duplicate warning compares that the shared view does not name.
constexpr std::size_t kTIPSTO = 160, kNUMCON = 176, kTIPDOC = 180, kNUMDOC = 184, kDATDOC = 208, kMITDES = 241,
                      kCAUMOV = 260, kNPRDAA = 540, kCONTFI = 140;

char flagOf(const std::string& text) { return text.empty() ? ' ' : text[0]; }

bool sameQuantity(double a, double b) { return std::fabs(a - b) <= kQuantityTolerance; }

// Visits the whole records of a year's file in file order, read in blocks into one
// reused buffer, until `visit` returns false. A missing file has none.
void scanRecords(const fs::path& file, const std::function<bool(std::string_view)>& visit) {
    RecordScanner scanner(file, kMovementSize);
    for (std::string_view block = scanner.nextBlock(); !block.empty(); block = scanner.nextBlock())
        for (std::size_t at = 0; at < block.size(); at += kMovementSize)
            if (!visit(block.substr(at, kMovementSize))) return;
}

} // namespace

MeasureUnit measureUnitOf(int index) {
    switch (index) {
    case 0: return MeasureUnit::Kilograms;
    case 1: return MeasureUnit::HectoDegrees;
    default: return MeasureUnit::Litres;
    }
}

double hectoDegrees(double litres, double plato) { return plato * litres / 100; }

MovementQuantities movementQuantities(MeasureUnit unit, double quantity, double plato,
                                      std::optional<double> guaranteeRate) {
    MovementQuantities q;
    switch (unit) {
    case MeasureUnit::Kilograms: q.QTAKG = quantity; break;
    case MeasureUnit::HectoDegrees:
        q.QTALIT = quantity;
        q.ETTOGR = hectoDegrees(q.QTALIT, plato);
        if (guaranteeRate) q.GARANZ = roundTo(q.ETTOGR * *guaranteeRate / 10, kAmountDecimals);
        break;
    case MeasureUnit::Litres: q.QTALIT = quantity; break;
    }
    return q;
}

std::optional<double> rateInForce(const Folders& folders, std::string_view country, double date) {
    const auto row = exciseRate(folders, RateMode::InForce, country, date);
    if (!row) return std::nullopt;
    return row->nums[kRateAmountNum];
}

double exciseAmount(double degrees, double rate) { return roundTo(degrees * rate, kAmountDecimals); }

bool exciseDeclaredHere(bool alcopp, std::string_view documentType) {
    return !alcopp || trimmed(documentType) == "ROR";
}

RegisterKey registerKeyOf(const Movement& m) {
    return {trimmed(m.TIPREG), trimmed(m.ANNPRO), trimmed(m.NUMPRO)};
}

Quantities stockForUnload(const Folders& folders, const Movement& movement, const Movement& beingChanged) {
    const RegisterKey reg = registerKeyOf(movement);
    Quantities q = registerStockAt(folders, reg, movement.DATMOV);
    // The record being changed stops counting: only what it took from (or gave to)
    // this register up to the movement's day comes back out of the sum.
    const Quantities counted = countedUpTo(reg, beingChanged, movement.DATMOV);
    q.QTAKG -= counted.QTAKG;
    q.ETTOGR -= counted.ETTOGR;
    q.QTALIT -= counted.QTALIT;
    return q;
}

std::string stockLabel(const Quantities& available) {
    std::string text = "max " + formatNumber(available.QTAKG + available.QTALIT, 0, -1);
    if (available.ETTOGR > 0) text += " (Hlg " + formatNumber(available.ETTOGR, 0, -1) + ")";
    return text;
}

StockVerdict checkUnloadStock(const Quantities& available, const Movement& unload) {
    if (unload.QTAKG + unload.QTALIT > available.QTAKG + available.QTALIT + kQuantityTolerance)
        return StockVerdict::QuantityOver;
    if (roundTo(available.ETTOGR, kQuantityDecimals) < roundTo(unload.ETTOGR, kQuantityDecimals))
        return StockVerdict::DegreesOver;
    return StockVerdict::Enough;
}

bool sentInitialStockBefore(const Folders& folders, const Movement& movement) {
    const RecordBlock stocks = readRecords(folders.initialStocks(), kMovementSize, IfMissing::Empty);
    const double from2009 = dayNumber(2009, 1, 1);
    const char tipreg = flagOf(trimmed(movement.TIPREG));
    const std::string annpro = padded1252(trimmed(movement.ANNPRO), 4);
    const std::string numpro = padded1252(trimmed(movement.NUMPRO), 10);
    for (std::size_t i = 0; i < stocks.count(); ++i) {
        const MovementView r(stocks.at(i));
        if (r.TIPREG() != tipreg || !r.fieldEquals(off::ANNPRO, 4, annpro) || !r.fieldEquals(off::NUMPRO, 10, numpro))
            continue;
        const double sentOn = binary::getDouble(stocks.at(i).data() + off::DATFLU);
        if (sentOn >= from2009 && r.NUMFLU() > 0 && r.DATMOV() < movement.DATMOV) return true;
    }
    return false;
}

bool hasActiveInitialStock(const Folders& folders, const RegisterKey& reg) {
    const RecordBlock stocks = readRecords(folders.initialStocks(), kMovementSize, IfMissing::Empty);
    const char tipreg = flagOf(reg.TIPREG);
    const std::string annpro = padded1252(reg.ANNPRO, 4);
    const std::string numpro = padded1252(reg.NUMPRO, 10);
    for (std::size_t i = 0; i < stocks.count(); ++i) {
        const MovementView r(stocks.at(i));
        if (r.STATO() != 'C' && r.TIPOPE() == 'I' && r.TIPREG() == tipreg && r.fieldEquals(off::ANNPRO, 4, annpro) &&
            r.fieldEquals(off::NUMPRO, 10, numpro))
            return true;
    }
    return false;
}

std::string missingInitialStockMessage(const RegisterKey& reg) {
    return "PER IL REGISTRO: " + trimmed(reg.NUMPRO) + "/" + reg.ANNPRO + " NON SONO STATE INDICATE LE GIACENZE INIZIALI";
}

DuplicateProbe::DuplicateProbe(const Movement& movement) : movement_(movement) {
    padMovement(movement_);
    const Movement& m = movement_;
    day_ = std::round(m.DATMOV);
    documentDay_ = std::round(m.DATDOC);
    texts_ = {
        {kTIPDOC, 3, padded1252(m.TIPDOC, 3)},     {kCAUMOV, 3, padded1252(m.CAUMOV, 3)},
        {kNUMDOC, 21, padded1252(m.NUMDOC, 21)},   {off::PRODDO, 21, padded1252(m.PRODDO, 21)},
        {off::TIPMOV, 1, padded1252(m.TIPMOV, 1)}, {kTIPSTO, 1, padded1252(m.TIPSTO, 1)},
        {off::CODPAE, 2, padded1252(m.CODPAE, 2)}, {kMITDES, 16, padded1252(m.MITDES, 16)},
        {off::TIPOPE, 1, padded1252(m.TIPOPE, 1)},
    };
}

bool DuplicateProbe::sameDay(std::string_view record) const {
    const MovementView r(record);
    return r.STATO() != 'C' && std::round(r.DATMOV()) == day_;
}

bool DuplicateProbe::matches(std::string_view bytes) const {
    if (!sameDay(bytes)) return false;
    const Movement& m = movement_;
    const MovementView r(bytes);
    if (std::round(binary::getDouble(bytes.data() + kDATDOC)) != documentDay_) return false;
    if (binary::getInt32(bytes.data() + kNPRDAA) != m.NPRDAA || r.NUMCPR() != m.NUMCPR ||
        binary::getInt32(bytes.data() + kNUMCON) != m.NUMCON)
        return false;
    for (const Text& t : texts_)
        if (!r.fieldEquals(t.offset, t.width, t.padded)) return false;
    return sameQuantity(r.QTAKG(), m.QTAKG) && sameQuantity(r.ETTOGR(), m.ETTOGR) &&
           sameQuantity(r.QTALIT(), m.QTALIT);
}

bool duplicateInRegister(const Folders& folders, const Movement& movement) {
    const DuplicateProbe probe(movement);
    bool found = false;
    scanRecords(folders.registerFile(yearOf(movement.DATMOV)), [&](std::string_view bytes) {
        found = probe.matches(bytes);
        return !found;
    });
    return found;
}

std::int32_t lastCounterReading(const Folders& folders, int year) {
    std::int32_t reading = 0;
    scanRecords(folders.registerFile(year), [&](std::string_view bytes) {
        const MovementView r(bytes);
        if (r.TIPMOV() != 'C' || r.TIPREG() != 'L' || r.STATO() == 'C' || r.TIPOPE() != 'I') return true;
        const std::int32_t final = binary::getInt32(bytes.data() + kCONTFI);
        if (final > 0) reading = final;
        return true;
    });
    return reading;
}

std::int32_t counterAfter(std::int32_t initialReading, double litres) {
    const double after = std::round(static_cast<double>(initialReading) + litres);
    if (after >= 2147483647.0) return 2147483647;
    if (after <= -2147483648.0) return -2147483647 - 1;
    return static_cast<std::int32_t>(after);
}

} // namespace accise
