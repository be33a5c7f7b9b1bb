#include "logic/masterdata/webaddresses.h"

namespace accise {

WebAddressesLogic::WebAddressesLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : ConfigEntriesLogic(ctx, prompt, services, ctx.folders.webConfig(), 8) {}

} // namespace accise
