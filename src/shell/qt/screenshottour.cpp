#include "shell/qt/screenshottour.h"

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

#include "common/dates.h"
#include "movements/qt/movemententrydialog.h"
#include "shell/commandtable.h"
#include "shell/qt/mainwindow.h"
#include "shell/qt/shell.h"

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
    if (auto* movement = qobject_cast<MovementEntryDialog*>(modal)) {
        if (!typingSamples_) showMovementSamples(*movement);
        return;
    }
    const bool message = qobject_cast<QMessageBox*>(modal) != nullptr;
    save(modal->grab(),
         current_ + (message ? QStringLiteral("-messaggio-") + QString::number(++counter_) : QString()));
    seen_ = nullptr;
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->done(QDialog::Rejected);
    else
        modal->close();
}

// The movement window empty, then a load and an unload typed in (not confirmed), each
// in its colours: a delivery of malt and a sale of kegged beer of the demo's year.
void ScreenshotTour::showMovementSamples(MovementEntryDialog& dialog) {
    // The poll keeps running: a message box shown meanwhile is grabbed and closed.
    typingSamples_ = true;
    save(dialog.grab(), current_);
    const std::string year = std::to_string(yearOf(todayDayNumber()) - 1);
    const std::string day = "15/06/" + year;
    dialog.typeSample({{"TIPMOV", "C"}, {"DATMOV", day}, {"TIPDOC", "DDT"}, {"DATDOC", day},
                       {"NUMDOC", "DDT 999"}, {"PRODDO", "M000-11071099-00-0000"}, {"TIPSTO", "S"},
                       {"CAUMOV", "105"}, {"DOUBL1_3", "800"}, {"MITDES", "IT00MIA00777M"}});
    settle(300);
    save(dialog.grab(), current_ + QStringLiteral("-carico"));
    dialog.typeSample({{"TIPMOV", "S"}, {"DATMOV", day}, {"TIPDOC", "DAS"}, {"DATDOC", day},
                       {"NUMDOC", "DAS 999"}, {"PRODAZ", "BIONDAFUSTO"}, {"CAUMOV", "071"}, {"DOUBL1_3", "100"},
                       {"POSFIS", "001"}, {"MITDES", "IT00TOA00999Z"}});
    settle(300);
    save(dialog.grab(), current_ + QStringLiteral("-scarico"));
    typingSamples_ = false;
    seen_ = nullptr;
    dialog.done(QDialog::Rejected);
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
    poll_.stop();
    QApplication::quit();
}

} // namespace accise
