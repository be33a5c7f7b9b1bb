#include "qt/codetables/codetablewindows.h"

#include "core/tables/codetables.h"
#include "logic/shell/commandtable.h"
#include "qt/codetables/codetabledialog.h"
#include "qt/codetables/productcodedialog.h"

namespace accise {
namespace {

// The editor is created for each opening and destroyed when it closes.
void runCodeTableEditor(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent,
                        EditorMode mode) {
    CodeTableDialog(ctx, prompt, services, mode, parent).run();
}

} // namespace

void registerCodeTableWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services) {
    registry.add(handlers::kCodeTableEditor, [parent, &prompt, &services](CommandContext& ctx) {
        runCodeTableEditor(ctx, prompt, services, parent, EditorMode::Menu);
    });
    registry.addReturnWindow(kCodeEditorReturn, [parent, &prompt, &services](CommandContext& ctx) {
        runCodeTableEditor(ctx, prompt, services, parent, EditorMode::Return);
    });
    registry.add("ATA20", [parent, &prompt, &services](CommandContext& ctx) {
        ProductCodeDialog dialog(ctx, prompt, services, parent);
        dialog.run();
    });
}

} // namespace accise
