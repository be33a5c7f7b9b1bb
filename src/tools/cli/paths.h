#pragma once
// accise-cli paths DIR [--signing-program PATH]: the four application paths of a
// working folder's configuration (signing program, files to sign, signed files,
// exchange folder); with the option, the signing program's path is changed first.
#include <iosfwd>
#include <string>
#include <vector>

namespace accise::cli {

int paths(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace accise::cli
