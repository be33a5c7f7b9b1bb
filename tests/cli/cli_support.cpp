#include "cli/cli_support.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace accise::testing {

std::string cliPath() { return std::string(ACCISE_BINARY_DIR) + "/src/tools/accise-cli"; }

CliResult runCli(const std::string& arguments, const std::string& input) {
    return runProgram(cliPath() + " " + arguments, input);
}

CliResult runProgram(const std::string& commandLine, const std::string& input) {
    char inTemplate[] = "/tmp/accise-cli-in-XXXXXX";
    char outTemplate[] = "/tmp/accise-cli-out-XXXXXX";
    char errTemplate[] = "/tmp/accise-cli-err-XXXXXX";
    const int inFd = ::mkstemp(inTemplate), outFd = ::mkstemp(outTemplate), errFd = ::mkstemp(errTemplate);
    ::close(outFd);
    ::close(errFd);
    if (inFd >= 0) {
        (void)!::write(inFd, input.data(), input.size());
        ::close(inFd);
    }
    const std::string command = commandLine + " <" + inTemplate + " >" + outTemplate + " 2>" + errTemplate;
    const int status = std::system(command.c_str());
    CliResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    auto slurp = [](const char* path) {
        std::ifstream f(path, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    };
    r.out = slurp(outTemplate);
    r.err = slurp(errTemplate);
    ::unlink(inTemplate);
    ::unlink(outTemplate);
    ::unlink(errTemplate);
    return r;
}

} // namespace accise::testing
