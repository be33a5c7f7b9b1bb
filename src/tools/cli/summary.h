#pragma once
// accise-cli summary: what the excise summary window would propose, without writing.
#include <iosfwd>
#include <string>
#include <vector>

namespace accise::cli {

// summary DIR --year AAAA --period PP   (authorised warehouse keeper)
// summary DIR --day GG/MM/AAAA          (registered consignee)
int summary(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace accise::cli
