#pragma once
// The initial stock window on screen (TFGIACENZA): widgets named as the controls of
// InitialStockLogic; the captions and the product list follow the register's unit.
#include "logic/movements/initialstockwindow.h"
#include "qt/framework/entrydialog.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace accise {

class InitialStockDialog : public EntryDialog {
    Q_OBJECT
public:
    InitialStockDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                       QWidget* parent = nullptr);

    InitialStockLogic& form() { return form_; }

protected:
    void valuesShown() override;

private:
    InitialStockLogic form_;
    QLabel* quantityLabel_ = nullptr;
    QLabel* degreesLabel_ = nullptr;
    QLineEdit* degrees_ = nullptr;
    QLabel* correction_ = nullptr;
    QListWidget* products_ = nullptr;
};

} // namespace accise
