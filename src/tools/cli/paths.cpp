#include "cli/paths.h"

#include <ostream>

#include "cli/commands.h"
#include "core/files/folders.h"
#include "core/files/ioerror.h"
#include "core/tables/company.h"

namespace accise::cli {

int paths(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string dir, program;
    bool setProgram = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--signing-program" && i + 1 < args.size()) {
            program = args[++i];
            setProgram = true;
        } else if (args[i].rfind("--", 0) != 0 && dir.empty()) {
            dir = args[i];
        } else {
            err << "accise-cli: argomento non valido: " << args[i]
                << "\nuso: accise-cli paths DIR [--signing-program PERCORSO]\n";
            return kFailure;
        }
    }
    if (dir.empty()) {
        err << "accise-cli: manca la cartella\nuso: accise-cli paths DIR [--signing-program PERCORSO]\n";
        return kFailure;
    }
    try {
        const Folders folders = Folders::of(dir, dir);
        if (!fs::is_directory(folders.generalData)) throw IoError(folders.generalData, "la cartella dei dati generali non esiste");
        ApplPaths entries = readApplConfig(folders);
        if (setProgram) {
            entries[0] = program;
            writeApplConfig(folders, entries);
        }
        static const char* names[] = {"programma di firma", "file da firmare", "file firmati", "scambio"};
        for (std::size_t i = 0; i < entries.size(); ++i) out << names[i] << ": " << entries[i] << "\n";
        return kOk;
    } catch (const std::exception& e) {
        err << "accise-cli: " << e.what() << "\n";
        return kFailure;
    }
}

} // namespace accise::cli
