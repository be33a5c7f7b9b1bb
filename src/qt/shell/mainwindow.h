#pragma once
// The main window: two pages ("Dati Generali" and "    Registro    "), each with its
// menu bar and a picture, and the status bar. The menus come from the command table;
// an entry is enabled when its handler is registered.
#include <QMainWindow>
#include <string_view>

#include "core/files/prompt.h"
#include "logic/framework/commandcontext.h"
#include "logic/shell/commandtable.h"
#include "logic/shell/windowregistry.h"

class QLabel;
class QMenuBar;
class QTabWidget;

namespace accise {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(CommandContext& ctx, Prompt& prompt, WindowRegistry& registry, QWidget* parent = nullptr);

    QTabWidget* pages() const { return pages_; }
    QMenuBar* pageMenuBar(MenuPage page) const;
    // The menu action of a command, by its action name.
    QAction* commandAction(std::string_view action) const;
    QString statusText() const;

    // Enables the entries whose handler is registered (after the registrations).
    void updateCommandStates();
    // Sets the command values, runs the readiness check where needed, then the
    // handler; an error that aborts the command is shown here.
    void runCommand(const CommandEntry& entry);
    // Status text and readiness check (its messages appear).
    void refreshStatusBar();
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
    QLabel* status_ = nullptr;
    bool altAlone_ = false; // Alt is down and no other key or click came since
};

} // namespace accise
