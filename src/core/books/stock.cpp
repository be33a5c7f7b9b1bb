#include "core/books/stock.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <system_error>
#include <utility>

#include "core/files/ioerror.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/records/movement.h"
#include "core/records/movementview.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"

namespace accise {
namespace {

namespace off = movement_offset;

struct PaddedKey {
    char tipreg;
    std::string annpro, numpro;
    explicit PaddedKey(const RegisterKey& k)
        : tipreg(k.TIPREG.empty() ? ' ' : k.TIPREG[0]), annpro(padded1252(k.ANNPRO, 4)),
          numpro(padded1252(k.NUMPRO, 10)) {}
    bool matches(const MovementView& r) const {
        return r.TIPREG() == tipreg && r.fieldEquals(off::ANNPRO, 4, annpro) && r.fieldEquals(off::NUMPRO, 10, numpro);
    }
};

// A quantity that is not a finite number would turn every sum after it into NaN:
// the stock is refused instead, naming the record to be put right.
void requireFiniteQuantities(const fs::path& file, const MovementView& r) {
    for (const auto& [name, value] : {std::pair{"QTAKG", r.QTAKG()}, {"ETTOGR", r.ETTOGR()}, {"QTALIT", r.QTALIT()}})
        if (!std::isfinite(value))
            throw IoError(file, "record n. " + std::to_string(r.NUMREC()) + ": il campo " + name +
                                    " non è un numero valido (NaN o infinito); giacenza non calcolata");
}

void add(const fs::path& file, Quantities& q, const MovementView& r, double sign) {
    requireFiniteQuantities(file, r);
    q.QTAKG += sign * roundTo(r.QTAKG(), 5);
    q.ETTOGR += sign * roundTo(r.ETTOGR(), 5);
    q.QTALIT += sign * roundTo(r.QTALIT(), 5);
}

// The first active initial stock of the register (state not "C", operation "I").
// With `mustBeSent`, only one that went out in a flow counts.
bool findInitialStock(const Folders& folders, const PaddedKey& key, bool mustBeSent, Quantities& q,
                      double& date) {
    const fs::path file = folders.initialStocks();
    const RecordBlock stocks = readRecords(file, kMovementSize, IfMissing::Empty);
    for (std::size_t i = 0; i < stocks.count(); ++i) {
        const MovementView r(stocks.at(i));
        if (!key.matches(r) || r.STATO() == 'C' || r.TIPOPE() != 'I') continue;
        if (mustBeSent && r.NUMFLU() <= 0) continue;
        q = Quantities{};
        add(file, q, r, 1.0);
        date = r.DATMOV();
        return true;
    }
    return false;
}

// An active load or unload of the register dated up to `last` (a whole day): its sign, 0 otherwise.
double movementSign(const PaddedKey& key, const MovementView& r, double last) {
    const char tipmov = r.TIPMOV();
    if ((tipmov != 'C' && tipmov != 'S') || r.TIPOPE() != 'I' || r.STATO() == 'C') return 0;
    if (!key.matches(r) || std::round(r.DATMOV()) > last) return 0;
    return tipmov == 'S' ? -1.0 : 1.0;
}

// Adds the register's active loads and unloads dated up to `date`, from the year
// `fromYear` to `toYear`, to the product's sum (`products` holds padded codes; an
// empty list means every product together, summed into totals[0]).
void addMovements(const Folders& folders, const PaddedKey& key, const std::vector<std::string>& products,
                  int fromYear, int toYear, double date, std::vector<Quantities>& totals) {
    const double last = std::round(date);
    for (int year = fromYear; year <= toYear; ++year) {
        // A year without a file yet has no movements: reading creates nothing.
        const fs::path file = folders.registerFile(year);
        forEachRecord(file, kMovementSize, [&](std::string_view bytes) {
            const MovementView r(bytes);
            const double sign = movementSign(key, r, last);
            if (sign == 0) return;
            if (products.empty()) {
                add(file, totals[0], r, sign);
                return;
            }
            for (std::size_t p = 0; p < products.size(); ++p)
                if (r.fieldEquals(off::PRODDO, 21, products[p])) add(file, totals[p], r, sign);
        });
    }
}

// The years from `fromYear` on that have a register file, in order.
std::vector<int> registerYearsFrom(const Folders& folders, int fromYear) {
    std::vector<int> years;
    std::error_code ec;
    for (fs::directory_iterator it(folders.registers, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() < 5) continue;
        const std::string digits = name.substr(0, 4);
        if (digits.find_first_not_of("0123456789") != std::string::npos) continue;
        const int year = std::stoi(digits);
        if (year >= fromYear && folders.registerFile(year).filename() == it->path().filename()) years.push_back(year);
    }
    std::sort(years.begin(), years.end());
    return years;
}

// A register's level on one day: kilograms and litres together, and hectolitre-degrees.
struct Level {
    double quantity = 0, degrees = 0;
    Level& operator+=(const Level& o) {
        quantity += o.quantity;
        degrees += o.degrees;
        return *this;
    }
};

Level contribution(const fs::path& file, const MovementView& r, double sign) {
    requireFiniteQuantities(file, r);
    return {sign * (roundTo(r.QTAKG(), 5) + roundTo(r.QTALIT(), 5)), sign * roundTo(r.ETTOGR(), 5)};
}

// The quantity short beyond the tolerance the unload check allows, or the degrees
// short to 5 decimals.
bool quantityShort(const Level& l) { return l.quantity < -0.000009; }
bool degreesShort(const Level& l) { return roundTo(l.degrees, 5) < 0; }

} // namespace

std::optional<StockShortfall> firstShortDay(const Folders& folders, const RegisterKey& reg, const StockChange& change) {
    const PaddedKey key(reg);
    constexpr double kEveryDay = std::numeric_limits<double>::max();
    std::map<double, Level> changed;
    const auto note = [&](const Movement& m, double factor) {
        Movement padded = m;
        padMovement(padded);
        const std::string bytes = encodeMovement(padded);
        const MovementView r(bytes);
        if (const double sign = movementSign(key, r, kEveryDay); sign != 0)
            changed[std::round(r.DATMOV())] += contribution("", r, sign * factor);
    };
    for (const Movement& m : change.joining) note(m, 1.0);
    for (const Movement& m : change.leaving) note(m, -1.0);
    if (changed.empty()) return std::nullopt;

    Quantities initial;
    double stockDate = 0;
    if (!findInitialStock(folders, key, false, initial, stockDate)) return std::nullopt;
    const double from = changed.begin()->first;
    Level base{roundTo(initial.QTAKG, 5) + roundTo(initial.QTALIT, 5), roundTo(initial.ETTOGR, 5)};
    std::map<double, Level> later; // the register's own records after `from`, by day
    for (const int year : registerYearsFrom(folders, yearOf(stockDate))) {
        const fs::path file = folders.registerFile(year);
        forEachRecord(file, kMovementSize, [&](std::string_view bytes) {
            const MovementView r(bytes);
            const double sign = movementSign(key, r, kEveryDay);
            if (sign == 0) return;
            const double day = std::round(r.DATMOV());
            (day <= from ? base : later[day]) += contribution(file, r, sign);
        });
    }

    Level withChange = base;
    auto c = changed.begin(), l = later.begin();
    while (c != changed.end() || l != later.end()) {
        const double day = l == later.end() || (c != changed.end() && c->first <= l->first) ? c->first : l->first;
        if (l != later.end() && l->first == day) {
            base += l->second;
            withChange += l->second;
            ++l;
        }
        if (c != changed.end() && c->first == day) {
            withChange += c->second;
            ++c;
        }
        // Only a day the change takes something from: a load never refuses a change,
        // whatever the books held before it.
        if (quantityShort(withChange) && withChange.quantity < base.quantity - 0.000009)
            return StockShortfall{day, false};
        if (degreesShort(withChange) && withChange.degrees < base.degrees - 0.000009)
            return StockShortfall{day, true};
    }
    return std::nullopt;
}

std::optional<StockShortfall> firstShortDay(const Folders& folders, const StockChange& change) {
    std::vector<RegisterKey> registers;
    for (const auto* list : {&change.joining, &change.leaving})
        for (const Movement& m : *list) {
            const RegisterKey key{trimmed(m.TIPREG), trimmed(m.ANNPRO), trimmed(m.NUMPRO)};
            const bool known = std::any_of(registers.begin(), registers.end(), [&](const RegisterKey& k) {
                return k.TIPREG == key.TIPREG && k.ANNPRO == key.ANNPRO && k.NUMPRO == key.NUMPRO;
            });
            if (!known) registers.push_back(key);
        }
    std::optional<StockShortfall> first;
    for (const RegisterKey& reg : registers)
        if (const auto shortfall = firstShortDay(folders, reg, change); shortfall && (!first || shortfall->day < first->day))
            first = shortfall;
    return first;
}

Quantities countedUpTo(const RegisterKey& reg, const Movement& record, double date) {
    Movement padded = record;
    padMovement(padded);
    const std::string bytes = encodeMovement(padded);
    const MovementView r(bytes);
    Quantities q;
    if (const double sign = movementSign(PaddedKey(reg), r, std::round(date)); sign != 0) add("", q, r, sign);
    return q;
}

std::string shortDayMessage(double day) { return "LA GIACENZA DEL REGISTRO SAREBBE NEGATIVA IL " + formatDate(day); }

Quantities registerStockAt(const Folders& folders, const RegisterKey& reg, double date) {
    const PaddedKey key(reg);
    Quantities q;
    double stockDate = 0;
    if (!findInitialStock(folders, key, false, q, stockDate)) return Quantities{};
    std::vector<Quantities> totals{q};
    addMovements(folders, key, {}, yearOf(stockDate), yearOf(date), date, totals);
    return totals[0];
}

struct RegisterStockSum::Key : PaddedKey {
    using PaddedKey::PaddedKey;
};

RegisterStockSum::RegisterStockSum(const Folders& folders, const RegisterKey& reg, double date)
    : key_(std::make_unique<Key>(reg)), last_(std::round(date)) {
    double stockDate = 0;
    if (!findInitialStock(folders, *key_, false, total_, stockDate)) return;
    std::vector<Quantities> totals{total_};
    addMovements(folders, *key_, {}, yearOf(stockDate), yearOf(date) - 1, date, totals);
    total_ = totals[0];
    countsTheYear_ = yearOf(stockDate) <= yearOf(date);
}

RegisterStockSum::~RegisterStockSum() = default;
RegisterStockSum::RegisterStockSum(RegisterStockSum&&) noexcept = default;
RegisterStockSum& RegisterStockSum::operator=(RegisterStockSum&&) noexcept = default;

void RegisterStockSum::add(const fs::path& file, std::string_view record) {
    if (!countsTheYear_) return;
    const MovementView r(record);
    if (const double sign = movementSign(*key_, r, last_); sign != 0) accise::add(file, total_, r, sign);
}

Quantities RegisterStockSum::total() const { return total_; }

ProductStock productStockAt(const Folders& folders, const RegisterKey& reg, const std::string& productCode,
                            double date) {
    return productStocksAt(folders, reg, {productCode}, date).front();
}

std::vector<ProductStock> productStocksAt(const Folders& folders, const RegisterKey& reg,
                                          const std::vector<std::string>& productCodes, double date) {
    const PaddedKey key(reg);
    std::vector<ProductStock> results(productCodes.size());
    Quantities initial;
    double initialDate = 0;
    if (productCodes.empty() || !findInitialStock(folders, key, true, initial, initialDate)) return results;
    // An initial stock is stated for the whole register, not per product, so each
    // product starts from it: exact for the usual register of one product.
    std::vector<std::string> padded;
    for (const std::string& code : productCodes) padded.push_back(padded1252(code, 21));
    std::vector<Quantities> totals(productCodes.size(), initial);
    addMovements(folders, key, padded, yearOf(initialDate), yearOf(date), date, totals);
    for (std::size_t p = 0; p < results.size(); ++p) results[p] = {true, initialDate, totals[p]};
    return results;
}

} // namespace accise
