#pragma once
// Registers every window that exists in the window registry. A window built later
// is enabled by adding its registration to registerTaskWindows().
#include "common/prompt.h"
#include "framework/formservices.h"
#include "shell/windowregistry.h"

namespace accise {

class MainWindow;

struct TaskWindowDeps {
    MainWindow& main;       // parent of the task windows; its status bar
    Prompt& prompt;         // messages and questions
    FormServices& services; // lookup list, new-code editor, desktop "open"
};

void registerTaskWindows(WindowRegistry& registry, TaskWindowDeps deps);

} // namespace accise
