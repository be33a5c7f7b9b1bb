#include "codetables/qt/codetablewindows.h"

#include "codetables/qt/codetabledialog.h"
#include "codetables/qt/productcodedialog.h"
#include "common/codetables.h"
#include "shell/commandtable.h"

namespace accise {
namespace {

// The editor is created for each opening and destroyed when it closes.
void runCodeTableEditor(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent,
                        EditorMode mode) {
    CodeTableDialog dialog(ctx, prompt, services, mode, parent);
    if (!dialog.editor().hasStructure()) {
        prompt.information(std::string(kMissingTableStructure));
        return;
    }
    dialog.run();
}

} // namespace

void registerCodeTableWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services) {
    registry.add(handlers::kCodeTableEditor, [parent, &prompt, &services](CommandContext& ctx) {
        runCodeTableEditor(ctx, prompt, services, parent, EditorMode::Menu);
    });
    registry.add(kCodeEditorReturn, [parent, &prompt, &services](CommandContext& ctx) {
        ctx.enteredCode.clear();
        runCodeTableEditor(ctx, prompt, services, parent, EditorMode::Return);
    });
    registry.add("ATA20", [parent, &prompt, &services](CommandContext& ctx) {
        ProductCodeDialog dialog(ctx, prompt, services, parent);
        dialog.run();
    });
}

} // namespace accise
