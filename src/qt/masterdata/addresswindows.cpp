#include "qt/masterdata/addresswindows.h"

#include "logic/masterdata/addresswindows.h"
#include "logic/shell/commandtable.h"
#include "qt/masterdata/addressdeletedialog.h"
#include "qt/masterdata/addressentrydialog.h"

namespace accise {

void registerAddressWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services) {
    registry.add(handlers::kAddressInsert, [parent, &prompt, &services](CommandContext& ctx) {
        AddressEntryDialog(ctx, prompt, services, parent).run();
    });
    // The caller sets ctx.table to the book; the window closes after one entry.
    registry.addReturnWindow(kAddressInsertReturn, [parent, &prompt, &services](CommandContext& ctx) {
        AddressEntryDialog(ctx, prompt, services, parent).run();
    });
    registry.add(handlers::kAddressModify, [parent, &prompt, &services](CommandContext& ctx) {
        if (auto entry = chooseAddressEntry(ctx, services))
            AddressEntryDialog(ctx, prompt, services, std::move(*entry), parent).run();
    });
    registry.add(handlers::kAddressDelete, [parent, &prompt, &services](CommandContext& ctx) {
        if (auto entry = chooseAddressEntry(ctx, services))
            AddressDeleteDialog(ctx, prompt, services, std::move(*entry), parent).run();
    });
}

} // namespace accise
