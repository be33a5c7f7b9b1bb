#pragma once
// The record selection list on screen (TFSCEGLIMOVIMENTO): the year field LANNO, the
// list LISTA (a click on a header sorts, Enter or a double click chooses) and
// "&Abbandona".
#include "logic/movements/recordselectionwindow.h"
#include "qt/framework/guardeddialog.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace accise {

class RecordSelectionDialog : public GuardedDialog {
    Q_OBJECT
public:
    RecordSelectionDialog(CommandContext& ctx, Prompt& prompt, QWidget* parent = nullptr);
    ~RecordSelectionDialog() override;

    RecordSelectionLogic& logic() { return logic_; }
    QTreeWidget* list() const { return list_; }
    QLineEdit* yearField() const { return year_; }

    // Shows the window modally; the chosen record number (also in ctx.chosenRecord), -1 for none.
    std::int32_t run();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void onFocusChanged(QWidget* old, QWidget* now);
    void fill();
    void choose();

    CommandContext& ctx_;
    RecordSelectionLogic logic_;
    QLineEdit* year_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* abandon_ = nullptr;
    bool handling_ = false;
};

} // namespace accise
