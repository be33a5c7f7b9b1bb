#include "logic/movements/initialstockcommand.h"

#include "core/books/initialstock.h"
#include "core/tables/codetables.h"
#include "core/tables/registers.h"

namespace accise {

bool prepareInitialStock(CommandContext& ctx, Prompt& prompt, FormServices& services) {
    ctx.table = std::string(kRegistersTable);
    ctx.mode = 'G';
    const std::int32_t chosen = services.openLookupList(ctx);
    if (chosen < 0) return false;
    const auto reg = findByNumber(ctx.folders.table(kRegistersTable), chosen);
    if (!reg) return false;
    if (activeInitialStockOf(ctx.folders, *reg)) {
        prompt.information(kInitialStockAlreadyRegistered);
        return false;
    }
    ctx.chosenRegister = *reg;
    ctx.movementBuffer = initialStockBufferFor(*reg);
    return true;
}

void runInitialStockCommand(const WindowRegistry& registry, CommandContext& ctx, Prompt& prompt,
                            FormServices& services) {
    if (prepareInitialStock(ctx, prompt, services)) registry.run(kInitialStockWindow, ctx);
}

} // namespace accise
