#pragma once
// TFCODICI on screen: the generic code-table editor, laid out from the structure file.
#include <memory>

#include "logic/codetables/codetableeditor.h"
#include "qt/framework/entrydialog.h"

class QLabel;
class QPushButton;

namespace accise {

class CodeTableDialog : public EntryDialog {
    Q_OBJECT
public:
    // The table is ctx.table. Without its structure file run() only shows
    // "STRUTTURA DELLA TABELLA MANCANTE" and the window never appears.
    CodeTableDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, EditorMode mode,
                    QWidget* parent = nullptr);
    CodeTableDialog(std::unique_ptr<CodeTableEditor> logic, QWidget* parent);

    CodeTableEditor& editor() { return *editor_; }

protected:
    void valuesShown() override { refreshState(); }

private:
    // Shows "MODIFICA o CANCELLA" / "Cance&lla" or "&Elenca" by the editor's state.
    void refreshState();
    void act(std::string (CodeEditorBase::*action)());

    std::unique_ptr<CodeTableEditor> editor_;
    QLabel* modifyOrDelete_ = nullptr;
    QPushButton* list_ = nullptr;
    QPushButton* delete_ = nullptr;
};

} // namespace accise
