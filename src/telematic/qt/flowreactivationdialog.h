#pragma once
// The reactivation window on screen.
#include "framework/qt/entrydialog.h"
#include "telematic/flowreactivationwindow.h"

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
