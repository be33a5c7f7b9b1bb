#pragma once
// The print of the duty-record search: the columns of the kind (and, for excise
// summaries, of the company's profile) under a ruled heading line, the title with
// the period range on every page.
#include <string>
#include <vector>

#include "core/reports/dutysearch.h"
#include "core/reports/pagecanvas.h"

namespace accise {

struct DutySearchPrint {
    DutySearchCriteria criteria;
    std::string kindText;  // the chosen radio item ("Registro accise")
    std::string fromText;  // "Dal mese/anno" as typed (MM/YYYY)
    std::string toText;    // "Al mese" as typed
    std::vector<DutySearchRow> rows;
};

void drawDutySearch(PageCanvas& canvas, const DutySearchPrint& print);

} // namespace accise
