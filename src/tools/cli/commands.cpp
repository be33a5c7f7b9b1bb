#include "cli/commands.h"

#include <ostream>

#include "common/ioerror.h"

namespace accise::cli {

namespace {
constexpr const char* kUsage =
    "uso: accise-cli init DIR | demo DIR | dump FILE [--kind movement|address|table] | append FILE [--alcopp] |"
    " delete FILE NUMREC | correct FILE NUMREC --note TEXT [--modify] |"
    " stock DIR --type M|L|F|N --year YYYY --protocol NUMPRO --date DD/MM/YYYY | check DIR  [--wait SECONDI]";
}

int run(const std::vector<std::string>& args, std::istream& /*in*/, std::ostream& /*out*/, std::ostream& err) {
    try {
        if (args.empty()) {
            err << kUsage << "\n";
            return kFailure;
        }
        err << "comando sconosciuto: " << args[0] << "\n" << kUsage << "\n";
        return kFailure;
    } catch (const IoError& e) {
        err << e.what() << "\n";
        return kFailure;
    }
}

} // namespace accise::cli
