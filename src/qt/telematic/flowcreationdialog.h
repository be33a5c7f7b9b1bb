#pragma once
// The flow creation window on screen.
#include "logic/telematic/flowcreationwindow.h"
#include "qt/framework/entrydialog.h"

class QCheckBox;
class QLabel;

namespace accise {

class CheckListWidget;

class FlowCreationDialog : public EntryDialog {
    Q_OBJECT
public:
    FlowCreationDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);

protected:
    void valuesShown() override;

private:
    FlowCreationLogic form_;
    CheckListWidget* list_ = nullptr;
    QCheckBox* sign_ = nullptr;
    QLabel* folder_ = nullptr; // LFLUSSO
};

} // namespace accise
