#pragma once
// The brew window on screen: widgets named as the controls of BrewLogic, the
// raw-material grid (a table whose keys go to the logic), the in-process register
// and the split section, shown only for the operators whose brews are split.
#include <map>
#include <string>
#include <vector>

#include "logic/movements/brewwindow.h"
#include "logic/shell/windowregistry.h"
#include "qt/framework/entrydialog.h"

class QLabel;
class QTableWidget;

namespace accise {

class BrewDialog : public EntryDialog {
    Q_OBJECT
public:
    BrewDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);

    BrewLogic& form() { return form_; }
    QTableWidget* grid() const { return grid_; }
    QLabel* labelOf(const std::string& name) const;
    // Types a brew into the window as a clerk would, without confirming (the
    // screenshot tour shows one this way): unloads by product code.
    void typeSample(const std::map<std::string, std::string>& values,
                    const std::map<std::string, std::string>& unloads);

protected:
    void valuesShown() override { refreshView(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refreshView();
    void refreshGrid();
    bool gridKeyPressed(class QKeyEvent* key);

    BrewLogic form_;
    QTableWidget* grid_ = nullptr;
    std::map<std::string, QLabel*> labels_;
    std::vector<QWidget*> splitWidgets_;
};

// "Cotta" (brew::kCommand) and the window's own name.
void registerBrewWindow(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services);

} // namespace accise
