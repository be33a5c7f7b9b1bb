#pragma once
// Runs accise-cli as a separate process, as administrators and scripts do.
#include <string>

namespace accise::testing {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs "accise-cli <arguments>" with `input` on its standard input.
CliResult runCli(const std::string& arguments, const std::string& input = "");

std::string cliPath();

} // namespace accise::testing
