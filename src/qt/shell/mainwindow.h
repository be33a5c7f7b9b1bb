#pragma once
// The main window: two pages ("Dati Generali" and "    Registro    "), each with its
// menu bar, "Dove sono i registri" (dashboard.h) and a small picture, and the status bar. The menus come from the command table;
// an entry is enabled when its handler is registered.
#include <QMainWindow>
#include <functional>
#include <string>
#include <string_view>

#include "core/files/prompt.h"
#include "logic/framework/commandcontext.h"
#include "logic/shell/commandtable.h"
#include "logic/shell/dashboard.h"
#include "logic/shell/windowregistry.h"

class QLabel;
namespace accise {
class DashboardView;
}
class QMenuBar;
class QTabWidget;

namespace accise {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(CommandContext& ctx, Prompt& prompt, WindowRegistry& registry, QWidget* parent = nullptr);
    ~MainWindow() override;

    QTabWidget* pages() const { return pages_; }
    QMenuBar* pageMenuBar(MenuPage page) const;
    // The menu action of a command, by its action name.
    QAction* commandAction(std::string_view action) const;
    QString statusText() const;
    // What the last window saved ("Movimento n. 165 registrato (...)"), kept until the
    // next save.
    QString savedText() const;

    // Enables the entries whose handler is registered (after the registrations).
    void updateCommandStates();
    // Sets the command values, runs the readiness check where needed, then the
    // handler; an error that aborts the command is shown here.
    void runCommand(const CommandEntry& entry);
    // Status text and readiness check (its messages appear).
    void refreshStatusBar();
    // "Dove sono i registri" computed afresh, on both pages; at start (with the status
    // bar) and whenever a window closes.
    void refreshDashboard();
    DashboardView* dashboard(MenuPage page) const;
    // Enter on a line of the page: the command it names.
    void runDashboardCommand(const std::string& command);
    // The books audit whose verdict the page shows (none: "Controllo non disponibile").
    void setBooksAudit(AuditProblemCount audit) { audit_ = std::move(audit); }
    // How the deadline table is opened for editing (the desktop's editor unless given).
    void setFileOpener(std::function<void(const std::string&)> opener) { fileOpener_ = std::move(opener); }
    // The day the page is computed for; 0 (the default) is today. For tests and tours.
    void setDashboardDay(double day) { dashboardDay_ = day; }

    // F10, or Alt pressed and released alone: the menu bar of the page shown opens
    // on its first menu, for the keyboard.
    void openMenuBar();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildPage(MenuPage page);

    CommandContext& ctx_;
    Prompt& prompt_;
    WindowRegistry& registry_;
    QTabWidget* pages_ = nullptr;
    QMenuBar* menuBars_[2] = {nullptr, nullptr};
    DashboardView* dashboards_[2] = {nullptr, nullptr};
    AuditProblemCount audit_;
    std::function<void(const std::string&)> fileOpener_;
    double dashboardDay_ = 0;
    QLabel* status_ = nullptr;
    QLabel* saved_ = nullptr;
    bool altAlone_ = false; // Alt is down and no other key or click came since
};

} // namespace accise
