#pragma once
// TFCODICI on screen: the generic code-table editor, laid out from the structure file.
#include <memory>

#include "codetables/codetableeditor.h"
#include "framework/qt/entrydialog.h"

class QLabel;
class QPushButton;

namespace accise {

class CodeTableDialog : public EntryDialog {
    Q_OBJECT
public:
    // The table is ctx.table. Check hasStructure() before showing it: without a
    // structure the window only shows "STRUTTURA DELLA TABELLA MANCANTE" and closes.
    CodeTableDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, EditorMode mode,
                    QWidget* parent = nullptr);
    CodeTableDialog(std::unique_ptr<CodeTableEditor> logic, QWidget* parent);

    // The editor goes before the window: nothing may reach it once this ends.
    ~CodeTableDialog() override;

    CodeTableEditor& editor() { return *editor_; }

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
