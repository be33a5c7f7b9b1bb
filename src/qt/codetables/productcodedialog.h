#pragma once
// TFCODICI_NC on screen: the product code editor (TA20).
#include "logic/codetables/productcodeeditor.h"
#include "qt/framework/entrydialog.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace accise {

class ProductCodeDialog : public EntryDialog {
    Q_OBJECT
public:
    ProductCodeDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);

    ProductCodeEditor& editor() { return *editor_; }

protected:
    void valuesShown() override { refreshState(); }

private:
    ProductCodeDialog(std::unique_ptr<ProductCodeEditor> logic, QWidget* parent);
    void refreshState();
    void act(std::string (CodeEditorBase::*action)());

    std::unique_ptr<ProductCodeEditor> editor_;
    QGroupBox* unit_ = nullptr;
    QLabel* modifyOrDelete_ = nullptr;
    QPushButton* list_ = nullptr;
    QPushButton* delete_ = nullptr;
};

} // namespace accise
