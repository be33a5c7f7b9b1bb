#pragma once
// Writing a report as a PDF file from the command line: available only in the native
// build, which has Qt; elsewhere it says so.
#include <string>

#include "logic/framework/formservices.h"

namespace accise::cli {

// True when this build can write PDF files.
bool pdfAvailable();
// Draws the report into `file`; false when it cannot be written.
bool writePdf(const std::string& file, const ReportJob& job);

} // namespace accise::cli
