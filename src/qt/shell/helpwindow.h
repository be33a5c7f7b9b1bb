#pragma once
// The help of a window: F1 in any window of the program opens a short Italian page
// about it (what it is for, the keys, the fields, what the confirmation does). The
// pages are Markdown files shipped inside the program (src/qt/shell/help), one per
// window, named after the window's class; a window without a page of its own gets
// the page of the keys every window shares.
#include <QDialog>
#include <QString>

class QTextBrowser;

namespace accise {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    // The help of `window` (the window F1 was pressed in).
    explicit HelpWindow(const QWidget* window, QWidget* parent = nullptr);

    // The page's resource path for a window class ("MovementEntryDialog"), or the
    // shared page's when that class has none.
    static QString pageFor(const QString& windowClass);
    // The class name a window's page is named after (without the namespace).
    static QString windowClassOf(const QWidget* window);
    QString page() const { return page_; }
    QTextBrowser* browser() const { return browser_; }

private:
    QString page_;
    QTextBrowser* browser_ = nullptr;
};

// F1 in any window opens its help (modal over it); Esc closes the help.
// Installed once for the application by the shell.
void installHelpKey();

} // namespace accise
