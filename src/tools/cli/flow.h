#pragma once
// accise-cli flow list | create | check | reactivate: the flow windows' own logic,
// driven from the command line. The signing tool is never started from here.
#include <iosfwd>
#include <string>
#include <vector>

namespace accise::cli {

int flow(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace accise::cli
