#pragma once
// The removal of unsent records on screen (TFCANCMOVIM): the year LANNO, the check
// list ELENCO, "Tutti" and "Nessuno", the confirmation ECONF (leaving it with "SI"
// removes the ticked records) and "&Abbandona".
#include "logic/movements/cancelunsentwindow.h"
#include "qt/framework/guardeddialog.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace accise {

class CancelUnsentDialog : public GuardedDialog {
    Q_OBJECT
public:
    CancelUnsentDialog(CommandContext& ctx, Prompt& prompt, QWidget* parent = nullptr);
    ~CancelUnsentDialog() override;

    CancelUnsentLogic& logic() { return logic_; }
    QListWidget* list() const { return list_; }
    QLineEdit* yearField() const { return year_; }
    QLineEdit* confirmationField() const { return confirmation_; }

    // Shows the window modally; an error that aborted it is thrown again here.
    void run();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void onFocusChanged(QWidget* old, QWidget* now);
    void fill();
    void showTicks();
    void focusConfirmation();

    CancelUnsentLogic logic_;
    QLineEdit* year_ = nullptr;
    QListWidget* list_ = nullptr;
    QLineEdit* confirmation_ = nullptr;
    QPushButton* abandon_ = nullptr;
    bool handling_ = false;
};

} // namespace accise
