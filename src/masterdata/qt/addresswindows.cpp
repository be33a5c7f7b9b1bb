#include "masterdata/qt/addresswindows.h"

#include "masterdata/addresswindows.h"
#include "masterdata/qt/addressdeletedialog.h"
#include "masterdata/qt/addressentrydialog.h"
#include "shell/commandtable.h"

namespace accise {
namespace {

// Puts back the command values that the return-mode window changes, also when it
// ends with an error: the calling window goes on with its own.
class KeepCallerValues {
public:
    explicit KeepCallerValues(CommandContext& ctx)
        : ctx_(ctx), table_(ctx.table), continuous_(ctx.continuousEntry) {}
    ~KeepCallerValues() {
        ctx_.table = table_;
        ctx_.continuousEntry = continuous_;
    }
    KeepCallerValues(const KeepCallerValues&) = delete;
    KeepCallerValues& operator=(const KeepCallerValues&) = delete;

private:
    CommandContext& ctx_;
    std::string table_;
    bool continuous_;
};

} // namespace

void registerAddressWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services) {
    registry.add(handlers::kAddressInsert, [parent, &prompt, &services](CommandContext& ctx) {
        AddressEntryDialog(ctx, prompt, services, parent).run();
    });
    // The caller sets ctx.table to the book; the window closes after one entry.
    registry.add(kAddressInsertReturn, [parent, &prompt, &services](CommandContext& ctx) {
        KeepCallerValues keep(ctx);
        ctx.continuousEntry = false;
        ctx.enteredCode.clear();
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
