#pragma once
// Registers the address book windows in the window registry: the insert, modify and
// delete commands of the "Indirizzario" menu, and the insert window in return mode
// (kAddressInsertReturn) for the windows that add a partner on the fly.
#include "core/files/prompt.h"
#include "logic/framework/formservices.h"
#include "logic/shell/windowregistry.h"

class QWidget;

namespace accise {

void registerAddressWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services);

} // namespace accise
