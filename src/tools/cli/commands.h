#pragma once
// The commands of accise-cli. Exit codes: 0 success, 1 a check found problems,
// 2 usage or input/output error (one line on standard error).
#include <iosfwd>
#include <string>
#include <vector>

namespace accise::cli {

inline constexpr int kOk = 0;
inline constexpr int kProblems = 1;
inline constexpr int kFailure = 2;

int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

} // namespace accise::cli
