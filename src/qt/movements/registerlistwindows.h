#pragma once
// Registers the initial stock window, the record selection list, the removal of
// unsent records and the commands that open them: "Giacenza iniziale di un
// registro", the change and correction commands of movements and initial stocks,
// and the removal commands.
#include "core/files/prompt.h"
#include "logic/framework/formservices.h"
#include "logic/shell/windowregistry.h"

class QWidget;

namespace accise {

void registerRegisterListWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt,
                                 FormServices& services);

} // namespace accise
