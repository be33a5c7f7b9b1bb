#pragma once
// The customs registers window on screen: widgets named as the controls of
// RegistersLogic; the product check list mirrors the logic's items and ticks.
#include "framework/qt/entrydialog.h"
#include "masterdata/registerswindow.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace accise {

class RegistersDialog : public EntryDialog {
    Q_OBJECT
public:
    RegistersDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);
    // The logic goes before the window: nothing may reach it once this ends.
    ~RegistersDialog() override;

    RegistersLogic& form() { return form_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Shows the state of the logic: "MODIFICA o CANCELLA", the buttons, the product list.
    void refreshState();
    void act(std::string (RegistersLogic::*action)());

    RegistersLogic form_;
    QListWidget* products_ = nullptr;
    QLabel* loaded_ = nullptr;
    QPushButton* list_ = nullptr;
    QPushButton* delete_ = nullptr;
};

} // namespace accise
