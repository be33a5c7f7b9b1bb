#pragma once
// The hidden "--screenshot-all DIR" run: shows the main window, saves a picture of
// both pages and of every menu, then runs every enabled command in turn and saves
// each window (and each message box) it opens, closing it again. Used by
// scripts/screenshots.sh so that anyone can look at the windows without clicking.
#include <functional>
#include <string>
#include <vector>

#include <QObject>
#include <QString>
#include <QTimer>

namespace accise {

struct CommandContext;
class Shell;

class ScreenshotTour : public QObject {
    Q_OBJECT
public:
    ScreenshotTour(Shell& shell, QString folder);
    // Runs the tour once the event loop runs; quits the application at the end.
    void start();
    // Windows worth seeing filled in: for a modal window it knows, the function types
    // samples into it and calls `shoot(suffix, nullptr)` for each picture of it (the
    // empty window first, with an empty suffix), or `shoot(suffix, widget)` for another
    // window it opened (a report preview); true when it did. The tour then closes it.
    using Shoot = std::function<void(const QString& suffix, QWidget* widget)>;
    using Samples = std::function<bool(QWidget* modal, const Shoot& shoot)>;
    void setSamples(Samples samples) { samples_ = std::move(samples); }

    // A window that no menu entry opens by itself (one that another window or a
    // choice in a list opens): after the menus, the tour prepares the command values
    // with `prepare` and runs the handler registered under `handler`, saving its
    // pictures under `name`. `prepare` returns false when the folder has nothing to
    // show it with. The program lists them, so the tour knows no window.
    struct ExtraWindow {
        QString name;
        std::string handler;
        std::function<bool(CommandContext&)> prepare;
    };
    void addExtraWindow(ExtraWindow window) { extraWindows_.push_back(std::move(window)); }

private:
    void run();
    void grabModal();
    void save(const QPixmap& picture, const QString& name);
    void settle(int ms);

    Shell& shell_;
    QString folder_;
    QString current_ = QStringLiteral("avvio");
    int counter_ = 0;
    QTimer poll_;
    QWidget* seen_ = nullptr;
    int seenTicks_ = 0;
    bool typingSamples_ = false;
    Samples samples_;
    std::vector<ExtraWindow> extraWindows_;
};

} // namespace accise
