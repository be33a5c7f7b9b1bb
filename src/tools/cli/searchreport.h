#pragma once
// accise-cli report search | duty: the search windows' own logic driven from the
// command line; the export file copied where asked and, in the native build, the
// print written as a PDF file.
#include <iosfwd>
#include <string>
#include <vector>

namespace accise::cli {

// report search DIR --from GG/MM/AAAA --to GG/MM/AAAA [--type C|S] [--sent] [--code CODICE] --csv FILE [--pdf FILE]
// report duty DIR --year AAAA --kind D|E|R [--from MM] [--to PP] [--sent] --csv FILE [--pdf FILE]
// report stock DIR --from GG/MM/AAAA --to GG/MM/AAAA --pdf FILE
int searchReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace accise::cli
