#pragma once
// The raw-material grid of the brew window (STGRID): one row per entry of the
// raw-material stock list, with its protocol, product, description and stock; only
// the unload column is typed. Its key rules and row state live here, so that they
// are the same on screen and in the tests.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/books/stocklists.h"
#include "core/records/movement.h"

namespace accise {

class BrewGrid {
public:
    static constexpr int kColumns = 5;
    static constexpr int kUnloadColumn = 4;
    static const std::array<const char*, kColumns> kCaptions;
    static const std::array<int, kColumns> kWidths; // pixels

    // One row per entry; `registerStock` holds, per entry, the stock of its whole
    // register, which the rows of one register share (empty: each row its own stock).
    void fill(const StockList& rawMaterials, const std::vector<double>& registerStock = {});
    std::size_t rows() const { return rows_.size(); }
    const Movement& entry(std::size_t row) const { return rows_.at(row).entry; }
    // The text of a cell of the row of entry `row` (the captions are the header).
    std::string cell(std::size_t row, int column) const;

    // A key typed into the unload cell of `row`: digits, a comma (a point becomes a
    // comma) and Backspace (kBackspaceKey) are taken; false when the key is dropped.
    // The first key typed over a quantity already read starts the cell afresh.
    bool type(std::size_t row, char32_t key);
    // Reads the cell as a quantity with 5 decimals and shows it right-aligned; a
    // quantity above the entry's stock, or above what the other rows of its register
    // leave of the register's stock, becomes that. True when it was cut.
    bool read(std::size_t row);
    // read() on every cell typed and not read yet; true when one was cut.
    bool readPending();
    // The unload of `row` as last read (0 while empty).
    double quantity(std::size_t row) const { return rows_.at(row).quantity; }
    // The row's material is unloaded in kilograms (else litres): fixed when the list
    // was built, whatever its stock becomes.
    bool inKilograms(std::size_t row) const { return rows_.at(row).kilograms; }
    // A quantity above 0 was read, or something is typed and not read yet.
    bool hasUnloads() const;
    // The stock of `row` as another reading found it.
    void setStock(std::size_t row, double stock);
    // Empties every unload cell (after a saved brew).
    void clearUnloads();
    std::optional<std::size_t> rowOf(const Movement& entry) const;

private:
    struct Row {
        Movement entry;
        std::string text;    // the unload cell as shown
        double quantity = 0; // as read
        bool pending = false; // typed since the last reading
        bool kilograms = true;
        double registerStock = -1; // the whole register's; below 0: unknown
    };
    // What the other rows of `row`'s register leave of its stock for it.
    double registerRoom(std::size_t row) const;
    std::vector<Row> rows_;
};

// The stock of a stock-list entry, as the grid compares it: kilograms and litres.
double entryStock(const Movement& entry);

} // namespace accise
