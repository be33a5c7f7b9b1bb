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

// Runs a shell command line (a program of the build and its arguments) the same way.
CliResult runProgram(const std::string& commandLine, const std::string& input = "");

} // namespace accise::testing
