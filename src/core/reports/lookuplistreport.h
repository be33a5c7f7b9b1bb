#pragma once
// The printed lookup list: the table centred on the page in Courier New, a header
// band with the column captions framed by rules, the title above it and the page
// number at the top right; rows follow one line apart, a new page (with its header)
// when a page is full. Portrait for narrow lists, landscape from 91 characters.
#include <string>
#include <vector>

#include "core/reports/pagecanvas.h"

namespace accise {

struct LookupReportData {
    std::string title;
    std::vector<int> widths; // characters per column
    std::vector<std::string> captions;
    std::vector<std::vector<std::string>> rows;

    int totalCharacters() const; // sum of width + 1
};

inline constexpr int kLandscapeFromCharacters = 91;

PageOrientation lookupReportOrientation(const LookupReportData& data);

// Sets the orientation and draws every page.
void drawLookupReport(PageCanvas& canvas, const LookupReportData& data);

} // namespace accise
