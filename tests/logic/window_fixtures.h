#pragma once
// Helpers shared by the window logic tests and the widget tests: a services double
// that records what the windows ask for, and a working folder with a small table
// of customs offices.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/files/recordfile.h"
#include "core/records/tablerecord.h"
#include "logic/framework/formservices.h"
#include "test_support.h"

namespace accise::testing {

class FakeServices : public FormServices {
public:
    bool lookupAvailable = true;
    std::int32_t lookupAnswer = -1;           // the row "chosen" in the lookup list
    std::optional<std::string> newCodeAnswer; // the code "entered" in the editor
    std::vector<std::string> lookupTables;    // ctx.table at each lookup
    std::vector<std::string> editorTables;
    std::vector<std::string> openedAddresses;
    std::vector<std::string> startedPrograms;
    std::vector<std::string> openedFiles;
    std::vector<ReportJob> reports; // every report shown, in order

    bool hasLookupList() const override { return lookupAvailable; }
    std::int32_t openLookupList(CommandContext& ctx) override {
        lookupTables.push_back(ctx.table);
        ctx.chosenCode = lookupAnswer;
        return lookupAnswer;
    }
    bool hasCodeEditor() const override { return true; }
    std::optional<std::string> addNewCode(CommandContext& ctx) override {
        editorTables.push_back(ctx.table);
        return newCodeAnswer;
    }
    void openAddress(const std::string& address) override { openedAddresses.push_back(address); }
    bool programStarts = true; // what the desktop answers when a program is started
    std::vector<std::string> openedWindows;
    bool startProgram(const std::string& path) override {
        startedPrograms.push_back(path);
        return programStarts;
    }
    std::optional<CommandContext> openedContext; // the values the last window opened was given
    bool openWindow(std::string_view name, CommandContext& ctx) override {
        openedWindows.emplace_back(name);
        openedContext = ctx;
        return true;
    }
    void openFile(const std::string& path) override { openedFiles.push_back(path); }
    void showReport(const ReportJob& job) override { reports.push_back(job); }
};

inline TableRecord tableRow(std::int32_t number, std::string code, std::string description) {
    TableRecord t = blankTable();
    t.number = number;
    t.col[0] = std::move(code);
    t.col[1] = std::move(description);
    return t;
}

// TA03.STR (one key column) and TA03.TAB with two offices, numbered 1 and 2.
inline void writeOfficeTable(const Folders& folders) {
    TableRecord structure = blankTable();
    structure.number = 1;
    structure.col[0] = "Codice";
    structure.col[1] = "Descrizione";
    structure.ints[0] = 8;
    structure.ints[1] = 60;
    structure.extra[0] = "TA03";
    structure.extra[1] = "Uffici Doganali";
    writeWholeFile(folders.structure("TA03"), encodeTable(structure));
    writeWholeFile(folders.table("TA03"),
                   encodeTable(tableRow(1, "IT012000", "UFFICIO DELLE DOGANE DI MILANO 2")) +
                       encodeTable(tableRow(2, "IT079100", "UFFICIO DELLE DOGANE DI ROMA 1")));
}

// A working folder with its folders created.
struct WorkingFolder {
    TempDir dir;
    Folders folders = Folders::of(dir.path(), dir.path() / "temp");
    WorkingFolder() { folders.create(); }
    CommandContext context() const {
        CommandContext ctx;
        ctx.folders = folders;
        return ctx;
    }
};

} // namespace accise::testing
