#pragma once
// The customs registers window on screen: widgets named as the controls of
// RegistersLogic; the product check list mirrors the logic's items and ticks.
#include "logic/masterdata/registerswindow.h"
#include "qt/framework/entrydialog.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace accise {

class RegistersDialog : public EntryDialog {
    Q_OBJECT
public:
    RegistersDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);
    ~RegistersDialog() override;

    RegistersLogic& form() { return form_; }

protected:
    // Shows the state of the logic: "MODIFICA o CANCELLA", the buttons, the product list.
    void valuesShown() override;

private:
    void act(std::string (RegistersLogic::*action)());

    RegistersLogic form_;
    QListWidget* products_ = nullptr;
    QLabel* loaded_ = nullptr;
    QPushButton* list_ = nullptr;
    QPushButton* delete_ = nullptr;
};

} // namespace accise
