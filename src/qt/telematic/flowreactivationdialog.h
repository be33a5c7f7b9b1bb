#pragma once
// The reactivation window on screen.
#include "logic/telematic/flowreactivationwindow.h"
#include "qt/framework/entrydialog.h"

namespace accise {

class CheckListWidget;

class FlowReactivationDialog : public EntryDialog {
    Q_OBJECT
public:
    FlowReactivationDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);

protected:
    void valuesShown() override;

private:
    FlowReactivationLogic form_;
    CheckListWidget* list_ = nullptr;
};

} // namespace accise
