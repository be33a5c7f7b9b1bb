#pragma once
// The print of the initial-stock search: one row per listed stock under a ruled
// heading line, the title with the period on every page.
#include <string>
#include <vector>

#include "core/reports/pagecanvas.h"
#include "core/reports/stocksearch.h"

namespace accise {

struct StockSearchPrint {
    std::string from, to; // DD/MM/YYYY
    std::vector<StockSearchRow> rows;
};

void drawStockSearch(PageCanvas& canvas, const StockSearchPrint& print);

} // namespace accise
