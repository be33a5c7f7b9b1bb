// accise-cli: administration and automation on a data folder.
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/interrupt.h"

int main(int argc, char** argv) {
    accise::cli::installInterruptHandlers();
    std::vector<std::string> args(argv + 1, argv + argc);
    return accise::cli::run(args, std::cin, std::cout, std::cerr);
}
