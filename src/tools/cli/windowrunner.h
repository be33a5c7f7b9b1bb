#pragma once
// What a window's logic needs when the command line types into it: no lookup list and
// no editor (a coded field that would open one is refused), and a prompt that keeps
// the window's messages for the command's report while the lock waits follow the
// command-line waiting rules.
#include <string>
#include <vector>

#include "cli/cliprompt.h"
#include "logic/framework/formservices.h"

namespace accise::cli {

class NoWindows : public FormServices {
public:
    bool hasLookupList() const override { return false; }
    std::int32_t openLookupList(CommandContext& ctx) override { return ctx.chosenCode = -1; }
    bool hasCodeEditor() const override { return false; }
    std::optional<std::string> addNewCode(CommandContext&) override { return std::nullopt; }
    void openAddress(const std::string&) override {}
    bool startProgram(const std::string&) override { return false; }
    void openFile(const std::string&) override {}
    void showReport(const ReportJob&) override {}
};

class WindowPrompt : public Prompt {
public:
    explicit WindowPrompt(WaitingPrompt& waiting);
    void information(const std::string& text) override;
    bool question(const std::string& text) override { return waiting_.question(text); }

    std::vector<std::string> messages;

private:
    WaitingPrompt& waiting_;
    std::string lockPrefix_;
};

} // namespace accise::cli
