#pragma once
// The running application's frame: the command values, the window registry, the
// services the windows use, and the main window. The program (src/app) registers
// the windows into it.
#include <memory>

#include "core/files/prompt.h"
#include "logic/framework/commandcontext.h"
#include "logic/shell/registryservices.h"
#include "logic/shell/windowregistry.h"

namespace accise {

class MainWindow;

class Shell {
public:
    // The desktop's "open" action (browser, program) unless others are given.
    Shell(Folders folders, Prompt& prompt, RegistryServices::Opener openAddress = {},
          RegistryServices::Starter startProgram = {});
    ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    MainWindow& window() { return *window_; }
    CommandContext& context() { return ctx_; }
    WindowRegistry& registry() { return registry_; }
    FormServices& services() { return services_; }
    Prompt& prompt() { return prompt_; }

private:
    CommandContext ctx_;
    Prompt& prompt_;
    WindowRegistry registry_;
    RegistryServices services_;
    std::unique_ptr<MainWindow> window_;
};

// The desktop's "open" action.
void openWithDesktop(const std::string& address);
// True when the program, or the program associated with its file type, started.
bool startDetachedProgram(const std::string& path);
void openFileWithDesktop(const std::string& path);
// The report's preview over the window that asked for it.
void previewReportJob(const ReportJob& job);

} // namespace accise
