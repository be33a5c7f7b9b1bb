#pragma once
// TFTABACCISE on screen: widgets named as the controls of ExciseRatesLogic.
#include "logic/codetables/exciserateswindow.h"
#include "qt/framework/entrydialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace accise {

class ExciseRatesDialog : public EntryDialog {
    Q_OBJECT
public:
    ExciseRatesDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);
    ExciseRatesLogic& form() { return form_; }

protected:
    // Shows the state of the logic: "MODIFICA o CANCELLA", the buttons, the chapter.
    void valuesShown() override;

private:
    void showChapter();
    void act(std::string (ExciseRatesLogic::*action)());

    ExciseRatesLogic form_;
    QLineEdit* country_ = nullptr;
    QLineEdit* chapter_ = nullptr;
    QLabel* chapterLabel_ = nullptr;
    QLabel* loaded_ = nullptr;
    QPushButton* list_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* web_ = nullptr;
};

} // namespace accise
