#pragma once
// Registers the code-table editors in the window registry: the "Codici e Tabelle"
// commands (generic editor in menu mode on the table of the command's Tag, and the
// TA20 editor) and the return-mode editor behind the new-code buttons.
#include "core/files/prompt.h"
#include "logic/framework/formservices.h"
#include "logic/shell/windowregistry.h"

class QWidget;

namespace accise {

void registerCodeTableWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services);

} // namespace accise
