#pragma once
// Where a report window sends the report it has prepared: the desktop program opens
// its preview (from which the clerk prints), the command-line tool writes a PDF file,
// tests draw it on a recording canvas. The drawing is the same in every case.
#include "logic/framework/formservices.h"

namespace accise {

class ReportViewer {
public:
    virtual ~ReportViewer() = default;
    virtual void show(const ReportJob& job) = 0;
};

} // namespace accise
