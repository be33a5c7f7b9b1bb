#pragma once
// accise-cli report register|totals: the printed register and the register totals as
// PDF files, through the windows' own logic and drawing.
#include <iosfwd>
#include <string>
#include <vector>

namespace accise::cli {

// report register DIR --type T --year AAAA --protocol P --from GG/MM/AAAA --to GG/MM/AAAA
//        --pdf FILE [--headings-only [--sheets N]] [--movements-only] [--first-page N]
// report totals DIR --date GG/MM/AAAA --pdf FILE
int registerReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace accise::cli
