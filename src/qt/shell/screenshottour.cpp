#include "qt/shell/screenshottour.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTabWidget>
#include <QTextStream>

#include "logic/shell/commandtable.h"
#include "qt/shell/mainwindow.h"
#include "qt/shell/shell.h"

namespace accise {

ScreenshotTour::ScreenshotTour(Shell& shell, QString folder) : shell_(shell), folder_(std::move(folder)) {
    poll_.setInterval(150);
    connect(&poll_, &QTimer::timeout, this, &ScreenshotTour::grabModal);
}

void ScreenshotTour::start() {
    QTimer::singleShot(300, this, &ScreenshotTour::run);
}

void ScreenshotTour::settle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void ScreenshotTour::save(const QPixmap& picture, const QString& name) {
    const QString file = QDir(folder_).filePath(name + QStringLiteral(".png"));
    picture.save(file);
    QTextStream(stdout) << file << '\n';
}

// A modal window is showing (a task window or a message box): once it has been
// painted, save it and close it.
void ScreenshotTour::grabModal() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    if (modal != seen_) {
        seen_ = modal;
        seenTicks_ = 0;
        return;
    }
    if (++seenTicks_ < 3) return;
    if (samples_ && !typingSamples_ && !qobject_cast<QMessageBox*>(modal)) {
        // The poll keeps running meanwhile: a message box shown is grabbed and closed.
        typingSamples_ = true;
        const QString name = current_;
        const bool shown = samples_(modal, [this, modal, name](const QString& suffix, QWidget* widget) {
            settle(300);
            save((widget ? widget : modal)->grab(), name + suffix);
        });
        typingSamples_ = false;
        if (shown) {
            seen_ = nullptr;
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->done(QDialog::Rejected);
            return;
        }
    }
    if (typingSamples_) return;
    const bool message = qobject_cast<QMessageBox*>(modal) != nullptr;
    save(modal->grab(),
         current_ + (message ? QStringLiteral("-messaggio-") + QString::number(++counter_) : QString()));
    seen_ = nullptr;
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->done(QDialog::Rejected);
    else
        modal->close();
}

void ScreenshotTour::run() {
    QDir().mkpath(folder_);
    MainWindow& main = shell_.window();
    poll_.start();

    current_ = QStringLiteral("avvio");
    main.refreshStatusBar();
    settle(300);

    const QString pageNames[] = {QStringLiteral("principale-dati-generali"),
                                 QStringLiteral("principale-registro")};
    const MenuPage pages[] = {MenuPage::GeneralData, MenuPage::Register};
    for (int p = 0; p < 2; ++p) {
        main.pages()->setCurrentIndex(p);
        settle(300);
        save(main.grab(), pageNames[p]);
        // Each menu opened over the window, grabbed from the screen where possible.
        int m = 0;
        for (QAction* top : main.pageMenuBar(pages[p])->actions()) {
            QMenu* menu = top->menu();
            if (!menu) continue;
            const QRect at = main.pageMenuBar(pages[p])->actionGeometry(top);
            menu->popup(main.pageMenuBar(pages[p])->mapToGlobal(at.bottomLeft()));
            settle(300);
            QPixmap shot;
            if (QScreen* screen = main.screen()) {
                const QRect frame = main.frameGeometry().united(menu->geometry());
                shot = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
            }
            if (shot.isNull() || shot.toImage().allGray()) shot = menu->grab();
            save(shot, pageNames[p] + QStringLiteral("-menu-") + QString::number(++m));
            menu->hide();
            settle(100);
        }
    }
    main.pages()->setCurrentIndex(0);

    for (const CommandEntry& entry : commandTable()) {
        if (entry.handler == handlers::kLink) continue; // they open the browser, not a window
        QAction* action = main.commandAction(entry.action);
        if (!action || !action->isEnabled()) continue;
        current_ = QString::fromUtf8(entry.action.data(), static_cast<qsizetype>(entry.action.size()));
        counter_ = 0;
        action->trigger();
        settle(200);
    }

    for (const ExtraWindow& extra : extraWindows_) {
        CommandContext& ctx = shell_.context();
        if (!shell_.registry().has(extra.handler) || !extra.prepare(ctx)) continue;
        current_ = extra.name;
        counter_ = 0;
        shell_.registry().run(extra.handler, ctx);
        settle(200);
    }
    poll_.stop();
    QApplication::quit();
}

} // namespace accise
