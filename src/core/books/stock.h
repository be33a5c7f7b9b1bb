#pragma once
// Stock is never stored: it is recomputed from a register's initial stock and its
// movements whenever a window needs it.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/folders.h"
#include "core/records/movement.h"

namespace accise {

struct Quantities {
    double QTAKG = 0;
    double ETTOGR = 0;
    double QTALIT = 0;
};

// Identifies a register inside movement records.
struct RegisterKey {
    std::string TIPREG; // "M", "L", "F", "N"
    std::string ANNPRO; // year of the protocol date
    std::string NUMPRO; // protocol number
};

// The register's stock at the end of `date` (all products together): its active
// initial stock plus its active loads minus its active unloads up to the date,
// across every year from the initial stock's year to the date's year. Zero when
// the register has no active initial stock. A missing year file counts as a year
// without movements (nothing is created). A quantity that is not a finite number
// aborts the sum (IoError naming the record).
Quantities registerStockAt(const Folders& folders, const RegisterKey& reg, double date);

// The same sum for a caller that reads the file of the date's year itself, in one
// pass with other work: it starts from the initial stock and the years before, and
// is then given every record of that year's file in file order.
class RegisterStockSum {
public:
    RegisterStockSum(const Folders& folders, const RegisterKey& reg, double date);
    ~RegisterStockSum();
    RegisterStockSum(RegisterStockSum&&) noexcept;
    RegisterStockSum& operator=(RegisterStockSum&&) noexcept;

    // `file` names the record in the error about a quantity that is not a number.
    void add(const std::filesystem::path& file, std::string_view record);
    Quantities total() const;

private:
    struct Key;
    std::unique_ptr<Key> key_;
    double last_ = 0;
    bool countsTheYear_ = false; // false without an initial stock, or one stated after the date's year
    Quantities total_;
};

// What `record` counts in the register's stock at the end of `date`: its quantities,
// positive for a load and negative for an unload; zero for a record of another
// register, one no longer active (superseded, a cancellation) or one dated later.
Quantities countedUpTo(const RegisterKey& reg, const Movement& record, double date);

// A register's stock is never negative on any day. A change of its records (records
// that join it, records that leave it or stop counting) is checked from the earliest
// day it touches to the register's last record, in every year's file from there on:
// the first day whose stock (quantity, or hectolitre-degrees to 5 decimals) would go
// below zero, on a day the change takes stock from (a change that only adds, as a
// load, is never refused). Records of other registers, loads and unloads no longer
// active (superseded, cancellations) count for nothing.
struct StockChange {
    std::vector<Movement> joining; // as they will be stored
    std::vector<Movement> leaving; // as they are stored now
};
struct StockShortfall {
    double day = 0;
    bool degrees = false; // short of hectolitre-degrees only
};
std::optional<StockShortfall> firstShortDay(const Folders& folders, const RegisterKey& reg, const StockChange& change);
// The same for every register the change touches (a movement moved to another
// register leaves its old one and joins the new): the earliest short day of any.
std::optional<StockShortfall> firstShortDay(const Folders& folders, const StockChange& change);

// "LA GIACENZA DEL REGISTRO SAREBBE NEGATIVA IL 31/12/2025": the refusal of a change
// that would leave a later day short.
std::string shortDayMessage(double day);

// The stock of one product of the register at the end of `date`, starting from the
// register's active initial stock, which must have been sent; nothing (nullopt-like:
// `found` false) when there is none.
struct ProductStock {
    bool found = false;
    double initialStockDate = 0;
    Quantities quantities;
};
ProductStock productStockAt(const Folders& folders, const RegisterKey& reg, const std::string& productCode,
                            double date);

// The same for several products of one register in one pass over each year's file:
// one result per code, in the order given.
std::vector<ProductStock> productStocksAt(const Folders& folders, const RegisterKey& reg,
                                          const std::vector<std::string>& productCodes, double date);

} // namespace accise
