#pragma once
// "Dove sono i registri" drawn: one row per line of the page (logic/shell/dashboard.h);
// headings in bold and never selected, warnings in red. Enter or a double click on a
// line asks for its command.
#include <QListWidget>
#include <string>
#include <vector>

#include "logic/shell/dashboard.h"

namespace accise {

class DashboardView : public QListWidget {
    Q_OBJECT
public:
    explicit DashboardView(QWidget* parent = nullptr);

    void showLines(const std::vector<DashboardLine>& lines);
    // The command of a row ("" for a heading or a line that opens nothing).
    std::string commandAt(int row) const;

signals:
    void commandRequested(const QString& command);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace accise
