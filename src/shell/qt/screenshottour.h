#pragma once
// The hidden "--screenshot-all DIR" run: shows the main window, saves a picture of
// both pages and of every menu, then runs every enabled command in turn and saves
// each window (and each message box) it opens, closing it again. Used by
// scripts/screenshots.sh so that anyone can look at the windows without clicking.
#include <QObject>
#include <QString>
#include <QTimer>

namespace accise {

class MovementEntryDialog;
class Shell;

class ScreenshotTour : public QObject {
    Q_OBJECT
public:
    ScreenshotTour(Shell& shell, QString folder);
    // Runs the tour once the event loop runs; quits the application at the end.
    void start();

private:
    void run();
    void grabModal();
    void showMovementSamples(MovementEntryDialog& dialog);
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
};

} // namespace accise
