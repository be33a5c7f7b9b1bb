#pragma once
// What the movement window computes: quantities, hectolitre-degrees, excise and
// guarantee, the stock available for an unload and its check, the sent initial
// stock a movement needs, the duplicate warning and the litre-counter prefill.
// Pure functions of their arguments, or reads of the data files without a lock.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/books/stock.h"
#include "core/files/folders.h"
#include "core/records/movement.h"

namespace accise {

// The measuring unit of a TA20 product (its integer 0).
enum class MeasureUnit { Kilograms = 0, HectoDegrees = 1, Litres = 2 };
// The unit of an index as stored; an index out of range is taken as litres, the
// unit that asks for no Plato degree and no excise.
MeasureUnit measureUnitOf(int index);

inline constexpr int kQuantityDecimals = 5;
inline constexpr int kAmountDecimals = 2;
// Two quantities that differ by no more than this are equal.
inline constexpr double kQuantityTolerance = 0.000009;

// Hectolitre-degrees Plato: litres × Plato degree / 100.
double hectoDegrees(double litres, double plato);

struct MovementQuantities {
    double QTAKG = 0;
    double ETTOGR = 0;
    double QTALIT = 0;
    double GARANZ = 0;
};
// The quantities of a movement of `quantity` (kilograms or litres) by the product's unit.
// `guaranteeRate`: the excise rate of the destination country when the guarantee is
// committed; the guarantee is hectolitre-degrees × rate / 10, to 2 decimals.
MovementQuantities movementQuantities(MeasureUnit unit, double quantity, double plato,
                                      std::optional<double> guaranteeRate);

// The excise rate per hectolitre-degree of `country` in force on `date`; nullopt when
// the country has none from that day on (or a rate not above 0,001).
std::optional<double> rateInForce(const Folders& folders, std::string_view country, double date);
// The excise on `hectoDegrees` at `rate`, to 2 decimals.
double exciseAmount(double hectoDegrees, double rate);
// A registered consignee declares the excise only on the report of receipt ("ROR").
bool exciseDeclaredHere(bool alcopp, std::string_view documentType);

// ---- Stock for an unload ----

inline constexpr const char* kQuantityOverStock = "Quantità superiore alla giacenza ";
inline constexpr const char* kDegreesOverStock = "Ettogradi superiori alla giacenza";

RegisterKey registerKeyOf(const Movement& m);

// The register's stock at the end of the movement's day without the record being
// changed (`beingChanged`: blank for a new movement): an unload of this register up
// to that day is put back, a load taken out; a record of another register or dated
// later changes nothing.
Quantities stockForUnload(const Folders& folders, const Movement& movement, const Movement& beingChanged);
// "max 1.200" or "max 1.200 (Hlg 144)": the stock available, without decimals.
std::string stockLabel(const Quantities& available);

enum class StockVerdict { Enough, QuantityOver, DegreesOver };
// The unload against the stock: its quantity (kilograms + litres) may exceed the
// stock's by the tolerance; then its hectolitre-degrees, to 5 decimals, may not exceed
// the stock's.
StockVerdict checkUnloadStock(const Quantities& available, const Movement& unload);

// ---- Initial stock ----

// GIACENZE.DAT holds an initial stock of the movement's register that went out in a
// flow (dated from 2009 on) and is stated for a day before the movement's.
bool sentInitialStockBefore(const Folders& folders, const Movement& movement);
// GIACENZE.DAT holds an active initial stock of the register.
bool hasActiveInitialStock(const Folders& folders, const RegisterKey& reg);
inline constexpr const char* kInitialStockNotSent =
    "Prima di registrare i movimenti è obbligatorio inviare la giacenza iniziale";
// "PER IL REGISTRO: <NUMPRO>/<ANNPRO> NON SONO STATE INDICATE LE GIACENZE INIZIALI"
std::string missingInitialStockMessage(const RegisterKey& reg);

// ---- Duplicate warning ----

inline constexpr const char* kDuplicateDocument = "ATTENZIONE DOCUMENTO GIA` IN MEMORIA !";
// The register file of the movement's year holds a record (not superseded) with the
// same date, document, reason, product, type, packaging, country, partner and
// operation, and the same quantities within the tolerance.
bool duplicateInRegister(const Folders& folders, const Movement& movement);

// The same comparison for one stored record, for a caller that reads the file itself.
class DuplicateProbe {
public:
    explicit DuplicateProbe(const Movement& movement);
    // The record is not superseded and is dated on the movement's day: the records a
    // comparison can hit, whatever the movement's other fields turn out to be.
    bool sameDay(std::string_view record) const;
    bool matches(std::string_view record) const;

private:
    struct Text {
        std::size_t offset, width;
        std::string padded; // as stored
    };
    Movement movement_; // padded
    double day_ = 0, documentDay_ = 0;
    std::vector<Text> texts_;
};

// ---- Litre counter ----

// The final reading of the last load of an in-process register in the register file
// of `year` (active insertions with a reading above 0, in file order); 0 when none.
std::int32_t lastCounterReading(const Folders& folders, int year);
// The reading after a movement of `litres`: the first reading plus the litres, rounded.
std::int32_t counterAfter(std::int32_t initialReading, double litres);

} // namespace accise
