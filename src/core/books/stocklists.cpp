#include "core/books/stocklists.h"

#include <cmath>
#include <map>
#include <string_view>

#include "core/books/stock.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "core/tables/registers.h"

namespace accise {
namespace {

constexpr std::string_view kProductTable = "TA20";

enum class ListFor { Brew, Packaging };

// TA20 by code; the first record of a code wins, as a lookup by key would find it.
std::map<std::string, TableRecord> productTable(const Folders& folders) {
    std::map<std::string, TableRecord> byCode;
    for (TableRecord& product : readTable(folders.table(kProductTable))) byCode.emplace(product.col[0], std::move(product));
    return byCode;
}

Movement listEntry(const RegisterKey& key, const TableRecord& product, const ProductStock& stock, ListFor use) {
    Movement entry = blankMovement();
    entry.TIPREG = key.TIPREG;
    entry.ANNPRO = key.ANNPRO;
    entry.NUMPRO = key.NUMPRO;
    entry.PRODDO = product.col[0];
    entry.DATMOV = stock.initialStockDate;
    // Sums of 5-decimal quantities, rounded again so that float noise cannot make
    // an exhausted stock look like a tiny positive one.
    entry.QTAKG = roundTo(stock.quantities.QTAKG, 5);
    entry.QTALIT = roundTo(stock.quantities.QTALIT, 5);
    // The brew shows one total per product whatever its unit; packaging needs the
    // hectolitre-degrees of the beer in process.
    entry.ETTOGR = use == ListFor::Brew ? roundTo(stock.quantities.QTAKG + stock.quantities.QTALIT, 5)
                                        : roundTo(stock.quantities.ETTOGR, 5);
    entry.ANNOTA = product.col[1];
    entry.NUMCON = product.ints[0];
    padMovement(entry);
    return entry;
}

// Appends the entries of every register of `types` valid on `date` to the list of
// its type letter ('M' or 'L').
void collectEntries(const Folders& folders, double date, RegisterTypes types, ListFor use,
                    std::map<char, StockList>& lists) {
    const std::map<std::string, TableRecord> ta20 = productTable(folders);
    for (const TableRecord& reg : registersValidOn(folders, date, types)) {
        const char letter = registerTypeLetter(reg.ints[kRegTypeInt]);
        const RegisterKey key{std::string(1, letter), formatDate(reg.nums[kRegProtocolDateNum]).substr(6, 4),
                              reg.col[kRegProtocolCol]};
        StockList& list = lists[letter];
        // The register's products known to TA20, in the order of its product list.
        std::vector<const TableRecord*> products;
        std::vector<std::string> codes;
        for (const TableRecord& listed : readProductList(folders, reg.number)) {
            const auto product = ta20.find(listed.col[0]);
            if (product == ta20.end()) continue;
            products.push_back(&product->second);
            codes.push_back(product->first);
        }
        const std::vector<ProductStock> stocks = productStocksAt(folders, key, codes, date);
        for (std::size_t p = 0; p < stocks.size(); ++p) {
            // No sent initial stock, or one stated for this day or later (the stock at the
            // end of a day comes before that day's movements): the register is left out.
            if (!stocks[p].found || !(stocks[p].initialStockDate < std::round(date))) break;
            Movement entry = listEntry(key, *products[p], stocks[p], use);
            if (use == ListFor::Brew && letter == 'M' && !(entry.ETTOGR > 0)) continue;
            list.push_back(std::move(entry));
        }
    }
}

void writeList(const Folders& folders, char letter, const StockList& list) {
    std::string content;
    content.reserve(list.size() * kMovementSize);
    for (const Movement& entry : list) content += encodeMovement(entry);
    writeWholeFile(folders.inTemp(std::string(1, letter) + ".DAT"), content);
}

Movement settingsRecord(const BrewSettings& settings) {
    Movement record = blankMovement();
    record.POSFIS = settings.packagingPosition;
    record.CAUMOV = settings.lossPosition;
    return record;
}

} // namespace

BrewStockLists buildStockListForBrew(const Folders& folders, double date) {
    std::map<char, StockList> lists;
    RegisterTypes types;
    types.set(static_cast<std::size_t>(registerTypeIndex('M')));
    types.set(static_cast<std::size_t>(registerTypeIndex('L')));
    collectEntries(folders, date, types, ListFor::Brew, lists);
    BrewStockLists result{std::move(lists['M']), std::move(lists['L'])};
    writeList(folders, 'M', result.rawMaterials);
    writeList(folders, 'L', result.inProcess);
    return result;
}

StockList buildStockListForPackaging(const Folders& folders, double date) {
    std::map<char, StockList> lists;
    RegisterTypes types;
    types.set(static_cast<std::size_t>(registerTypeIndex('L')));
    collectEntries(folders, date, types, ListFor::Packaging, lists);
    StockList result = std::move(lists['L']);
    writeList(folders, 'L', result);
    return result;
}

BrewSettings readBrewSettings(const Folders& folders) {
    const fs::path file = folders.brewSettings();
    const RecordBlock block = readRecords(file, kMovementSize, IfMissing::Empty);
    if (block.count() == 0) {
        // Missing, or left empty by an interrupted write: start again from the defaults.
        const BrewSettings defaults;
        writeBrewSettings(folders, defaults);
        return defaults;
    }
    const Movement record = decodeMovement(block.at(0));
    return BrewSettings{trimmed(record.POSFIS), trimmed(record.CAUMOV)};
}

void writeBrewSettings(const Folders& folders, const BrewSettings& settings) {
    // The file is shared by every workstation: replaced whole, so that a reader sees
    // the old record or the new one, never an empty file.
    replaceFileContent(folders.brewSettings(), encodeMovement(settingsRecord(settings)));
}

} // namespace accise
