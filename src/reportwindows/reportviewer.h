#pragma once
// Where a report window sends the report it has prepared: the desktop program opens
// its preview (from which the clerk prints), the command-line tool writes a PDF file,
// tests draw it on a recording canvas. The drawing is the same in every case.
#include <functional>
#include <string>

#include "reports/pagecanvas.h"

namespace accise {

struct ReportJob {
    std::string title; // the preview's caption and the PDF name proposed
    std::function<void(PageCanvas&)> draw;
};

class ReportViewer {
public:
    virtual ~ReportViewer() = default;
    virtual void show(const ReportJob& job) = 0;
};

} // namespace accise
