#pragma once
// The print of the register search: one row per listed record under a ruled
// heading band, the title with the period and the code on every page.
#include <string>
#include <vector>

#include "core/reports/pagecanvas.h"
#include "core/reports/registersearch.h"

namespace accise {

struct RegisterSearchPrint {
    std::string caption; // the window caption
    std::string from, to; // DD/MM/YYYY
    std::string code;     // the code filter, trimmed
    std::vector<RegisterSearchRow> rows;
};

void drawRegisterSearch(PageCanvas& canvas, const RegisterSearchPrint& print);

} // namespace accise
