#include "logic/movements/brewgrid.h"

#include <algorithm>

#include "core/books/brew.h"
#include "core/files/text1252.h"
#include "core/tables/keyfilters.h"
#include "core/tables/numbers.h"

namespace accise {
namespace {

constexpr std::size_t kCellWidth = 10;  // a quantity read is shown in 10 characters
constexpr std::size_t kLongestEntry = 20; // characters typed into a cell

// "12,50000" without thousands separators, right-aligned in 10 characters.
std::string quantityCell(double quantity) {
    std::string text = formatNumber(quantity, 0, 5);
    text.erase(std::remove(text.begin(), text.end(), '.'), text.end());
    if (text.size() < kCellWidth) text.insert(0, kCellWidth - text.size(), ' ');
    return text;
}

} // namespace

const std::array<const char*, BrewGrid::kColumns> BrewGrid::kCaptions = {
    "Protocollo", "  Codice prodotto", "  Descrizione prodotto ", "  Giacenza", "  Scarico"};
const std::array<int, BrewGrid::kColumns> BrewGrid::kWidths = {85, 155, 300, 100, 100};

double entryStock(const Movement& entry) { return roundTo(entry.QTAKG + entry.QTALIT, 5); }

void BrewGrid::fill(const StockList& rawMaterials, const std::vector<double>& registerStock) {
    rows_.clear();
    for (std::size_t i = 0; i < rawMaterials.size(); ++i) {
        const Movement& entry = rawMaterials[i];
        const double held = i < registerStock.size() ? registerStock[i] : -1;
        rows_.push_back(Row{entry, {}, 0, false, entry.QTAKG > 0, held});
    }
}

bool BrewGrid::hasUnloads() const {
    for (const Row& r : rows_)
        if (r.quantity > 0 || (r.pending && !trimmed(r.text).empty())) return true;
    return false;
}

double BrewGrid::registerRoom(std::size_t row) const {
    const Row& r = rows_.at(row);
    if (r.registerStock < 0) return entryStock(r.entry);
    double others = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Movement& e = rows_[i].entry;
        if (i != row && e.TIPREG == r.entry.TIPREG && e.ANNPRO == r.entry.ANNPRO && e.NUMPRO == r.entry.NUMPRO)
            others += rows_[i].quantity;
    }
    return std::max(0.0, roundTo(r.registerStock - others, 5));
}

std::string BrewGrid::cell(std::size_t row, int column) const {
    const Row& r = rows_.at(row);
    switch (column) {
    case 0: return trimmed(r.entry.NUMPRO);
    case 1: return trimmed(r.entry.PRODDO);
    case 2: return trimmed(r.entry.ANNOTA);
    case 3: return " " + formatNumber(r.entry.ETTOGR, 0, -1);
    case kUnloadColumn: return r.text;
    default: return {};
    }
}

bool BrewGrid::type(std::size_t row, char32_t key) {
    Row& r = rows_.at(row);
    std::string text = r.pending ? r.text : trimmed(r.text);
    if (key == kBackspaceKey) {
        if (!text.empty()) text.pop_back();
    } else {
        if (key == U'.') key = U',';
        const bool digit = key >= U'0' && key <= U'9';
        if (!digit && key != U',') return false;
        if (!r.pending) text.clear(); // typing over a quantity already read
        if (key == U',' && text.find(',') != std::string::npos) return false;
        if (text.size() >= kLongestEntry) return false;
        text += static_cast<char>(key);
    }
    r.text = text;
    r.pending = true;
    return true;
}

bool BrewGrid::read(std::size_t row) {
    Row& r = rows_.at(row);
    double quantity = parseDecimal(trimmed(r.text), 5);
    const double stock = std::min(entryStock(r.entry), registerRoom(row));
    const bool cut = exceedsStock(quantity, stock);
    if (cut) quantity = stock;
    r.quantity = quantity;
    r.text = quantityCell(quantity);
    r.pending = false;
    return cut;
}

bool BrewGrid::readPending() {
    bool cut = false;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].pending && read(i)) cut = true;
    return cut;
}

void BrewGrid::setStock(std::size_t row, double stock) {
    Row& r = rows_.at(row);
    // The grid counts the stock in the unit of the row, even when none is left.
    if (r.kilograms) {
        r.entry.QTAKG = stock;
        r.entry.QTALIT = 0;
    } else {
        r.entry.QTALIT = stock;
        r.entry.QTAKG = 0;
    }
    r.entry.ETTOGR = stock;
}

void BrewGrid::clearUnloads() {
    for (Row& r : rows_) {
        r.text.clear();
        r.quantity = 0;
        r.pending = false;
    }
}

std::optional<std::size_t> BrewGrid::rowOf(const Movement& entry) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].entry.TIPREG == entry.TIPREG && rows_[i].entry.ANNPRO == entry.ANNPRO &&
            rows_[i].entry.NUMPRO == entry.NUMPRO && rows_[i].entry.PRODDO == entry.PRODDO)
            return i;
    return std::nullopt;
}

} // namespace accise
