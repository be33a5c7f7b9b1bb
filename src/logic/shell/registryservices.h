#pragma once
// The services of the entry windows served by the window registry: the lookup list
// and the return-mode code editor are whatever is registered under kLookupList and
// kCodeEditorReturn; the desktop's "open" action is handed in.
#include <functional>

#include "logic/framework/formservices.h"
#include "logic/shell/windowregistry.h"

namespace accise {

class RegistryServices : public FormServices {
public:
    using Opener = std::function<void(const std::string&)>;
    using Starter = std::function<bool(const std::string&)>; // true when the program started
    using ReportViewer = std::function<void(const ReportJob&)>;
    RegistryServices(const WindowRegistry& registry, Opener openAddress, Starter startProgram,
                     Opener openFile = {}, ReportViewer showReport = {});

    bool hasLookupList() const override;
    std::int32_t openLookupList(CommandContext& ctx) override;
    bool hasCodeEditor() const override;
    std::optional<std::string> addNewCode(CommandContext& ctx) override;
    void openAddress(const std::string& address) override;
    bool startProgram(const std::string& path) override;
    bool openWindow(std::string_view name, CommandContext& ctx) override;
    void openFile(const std::string& path) override;
    void showReport(const ReportJob& job) override;

private:
    const WindowRegistry& registry_;
    Opener openAddress_;
    Starter startProgram_;
    Opener openFile_;
    ReportViewer showReport_;
};

} // namespace accise
