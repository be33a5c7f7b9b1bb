#pragma once
// A check list (CELENCO) kept in step with the CheckList of a window's logic. The
// lines and ticks stay in the logic's CheckList; the view draws only the lines in
// sight through a model, so a year of 100 000 unsent records opens at once.
#include <QAbstractListModel>
#include <QListView>
#include <string>
#include <vector>

#include "logic/telematic/checklist.h"

namespace accise {

// The CheckList as a list model: one row per line, checkable; a tick changed here
// is the logic's tick.
class CheckListModel : public QAbstractListModel {
    Q_OBJECT
public:
    CheckListModel(CheckList& list, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Shows the logic's lines (the rows rebuilt only when they changed) and ticks.
    void refresh();

private:
    CheckList& list_;
    std::vector<std::string> shown_;
};

class CheckListWidget : public QListView {
    Q_OBJECT
public:
    CheckListWidget(CheckList& list, QWidget* parent);
    void refresh() { model_->refresh(); }
    CheckListModel* checkModel() const { return model_; }
    int count() const { return model_->rowCount(); }
    bool isTicked(int row) const;
    // Ticks or unticks line `row` as a click on its box would.
    void setTicked(int row, bool ticked);

private:
    CheckListModel* model_;
};

} // namespace accise
