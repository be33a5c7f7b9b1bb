#pragma once
// A plain text printed as it stands (the outcome report of a transmission): portrait
// pages in Courier New 10 point, the title and the page number on top of every page,
// a line of text per printed line; a line wider than the page continues on the next
// printed line, a new page when one is full.
#include <string>
#include <vector>

#include "core/reports/pagecanvas.h"

namespace accise {

void drawTextReport(PageCanvas& canvas, const std::string& title, const std::vector<std::string>& lines);

} // namespace accise
