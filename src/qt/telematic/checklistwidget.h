#pragma once
// A check list (CELENCO) kept in step with the CheckList of a window's logic.
#include <QListWidget>
#include <vector>
#include <string>

#include "logic/telematic/checklist.h"

namespace accise {

class CheckListWidget : public QListWidget {
    Q_OBJECT
public:
    CheckListWidget(CheckList& list, QWidget* parent);
    // Shows the logic's lines (rebuilt only when they changed) and ticks.
    void refresh();

private:
    CheckList& list_;
    std::vector<std::string> shown_;
};

} // namespace accise
