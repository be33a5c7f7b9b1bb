#pragma once
// "Giacenza iniziale di un registro": the register is chosen in the lookup list of
// the registers still without an initial stock; the window then opens on a blank
// record of that register.
#include <string_view>

#include "core/files/prompt.h"
#include "logic/framework/commandcontext.h"
#include "logic/framework/formservices.h"
#include "logic/shell/windowregistry.h"

namespace accise {

// The initial stock window's name in the window registry.
inline constexpr std::string_view kInitialStockWindow = "TFGIACENZA";

// Opens the register lookup (ctx.table "PROTOCOLLI", ctx.mode "G") and prepares the
// movement buffer and the chosen register. False when nothing was chosen, the row
// is gone, or the register already has an active initial stock ("GIACENZA INIZIALE
// GIA' REGISTRATA" shown): the window must not open.
bool prepareInitialStock(CommandContext& ctx, Prompt& prompt, FormServices& services);

// The whole command: prepareInitialStock, then the window registered as kInitialStockWindow.
void runInitialStockCommand(const WindowRegistry& registry, CommandContext& ctx, Prompt& prompt,
                            FormServices& services);

} // namespace accise
