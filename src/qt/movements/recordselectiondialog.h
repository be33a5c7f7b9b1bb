#pragma once
// The record selection list on screen (TFSCEGLIMOVIMENTO): the year field LANNO, the
// list LISTA (a click on a header sorts, Enter or a double click chooses) and
// "&Abbandona". The rows stay in the window's logic; the list is a view over them,
// so a year of 100 000 records is shown without one widget item per row.
#include <QAbstractTableModel>

#include "logic/movements/recordselectionwindow.h"
#include "qt/framework/guardeddialog.h"

class QLineEdit;
class QPushButton;
class QTreeView;

namespace accise {

// The logic's columns and rows as a table model (read only).
class SelectionRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    SelectionRowsModel(const RecordSelectionLogic& logic, QObject* parent);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The logic's rows or columns changed (a build, a sort).
    void reload();

private:
    const RecordSelectionLogic& logic_;
};

class RecordSelectionDialog : public GuardedDialog {
    Q_OBJECT
public:
    RecordSelectionDialog(CommandContext& ctx, Prompt& prompt, QWidget* parent = nullptr);
    ~RecordSelectionDialog() override;

    RecordSelectionLogic& logic() { return logic_; }
    QTreeView* list() const { return list_; }
    QLineEdit* yearField() const { return year_; }
    // The text shown in row `row`, column `column` of the list.
    QString cellText(int row, int column) const;

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
    SelectionRowsModel* model_ = nullptr;
    QLineEdit* year_ = nullptr;
    QTreeView* list_ = nullptr;
    QPushButton* abandon_ = nullptr;
    bool handling_ = false;
};

} // namespace accise
