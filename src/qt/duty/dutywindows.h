#pragma once
// Registers the duty-record windows: credits, the excise summary that matches the
// company's profile, voluntary correction and guarantees.
#include "core/files/prompt.h"
#include "logic/framework/formservices.h"
#include "logic/shell/windowregistry.h"

class QWidget;

namespace accise {

// The handler name of the guarantee command (a window of this program only).
inline constexpr const char* kGuaranteeWindow = "AGARANZIE";

void registerDutyWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services);

} // namespace accise
