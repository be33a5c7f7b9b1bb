#include "qt/shell/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QResizeEvent>
#include <QProxyStyle>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>

#include "logic/shell/commands.h"
#include "qt/shell/pagepicture.h"
#include "qt/shell/qtprompt.h"

namespace accise {
namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The menu bars leave Alt to the main window, which opens the menu bar of the page
// shown on Alt alone as on F10 (the toolkit's own Alt handling, where the style has
// it, only highlights a title, and each of the two pages' bars would react).
class NoAltNavigationStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_MenuBar_AltKeyNavigation) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// A page of the main window: its menu bar on top and the picture centred below,
// 90 % of the page's width and of its height less the menu bar.
class MenuPageWidget : public QWidget {
public:
    explicit MenuPageWidget(QWidget* parent) : QWidget(parent) {
        menuBar_ = new QMenuBar(this);
        menuBar_->setNativeMenuBar(false);
        auto* style = new NoAltNavigationStyle;
        style->setParent(this);
        menuBar_->setStyle(style);
        picture_ = new PagePicture(this);
    }
    QMenuBar* menuBar() const { return menuBar_; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        const int barHeight = menuBar_->sizeHint().height();
        menuBar_->setGeometry(0, 0, width(), barHeight);
        const int w = width() * 9 / 10;
        const int h = std::max(0, height() * 9 / 10 - barHeight);
        picture_->setGeometry((width() - w) / 2, barHeight + (height() - barHeight - h) / 2, w, h);
    }

private:
    QMenuBar* menuBar_;
    PagePicture* picture_;
};

} // namespace

MainWindow::MainWindow(CommandContext& ctx, Prompt& prompt, WindowRegistry& registry, QWidget* parent)
    : QMainWindow(parent), ctx_(ctx), prompt_(prompt), registry_(registry) {
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setMinimumSize(560, 420);

    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl"));
    pages_->addTab(buildPage(MenuPage::GeneralData), qs(kGeneralDataPageCaption));
    pages_->addTab(buildPage(MenuPage::Register), qs(kRegisterPageCaption));
    pages_->setCurrentIndex(0);
    setCentralWidget(pages_);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("StatusText"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addWidget(status_, 1);

    resize(800, 600);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        ctx_.maxWindowWidth = area.width() - 50;
        ctx_.maxWindowHeight = area.height() - 100;
        move(screen->availableGeometry().center() - rect().center());
    }
    updateCommandStates();

    // The menus from the keyboard, as in every Windows program.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, &MainWindow::openMenuBar);
    qApp->installEventFilter(this);
}

void MainWindow::openMenuBar() {
    QMenuBar* bar = menuBars_[pages_->currentIndex() == 0 ? 0 : 1];
    for (QAction* action : bar->actions()) {
        if (!action->isEnabled() || action->isSeparator()) continue;
        bar->setFocus(Qt::ShortcutFocusReason);
        // A menu closed with Esc leaves its title highlighted: set anew, so it opens again.
        bar->setActiveAction(nullptr);
        bar->setActiveAction(action);
        return;
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // Only while this window is the active one (not under a task window).
    if (QApplication::activeWindow() != this || QApplication::activePopupWidget()) {
        altAlone_ = false;
        return QMainWindow::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->isAutoRepeat()) break;
        // Platforms differ on whether Alt's own press carries the Alt modifier.
        const Qt::KeyboardModifiers others = Qt::ControlModifier | Qt::ShiftModifier | Qt::MetaModifier;
        altAlone_ = key->key() == Qt::Key_Alt && !(key->modifiers() & others);
        break;
    }
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Alt && altAlone_ && !key->isAutoRepeat()) {
            altAlone_ = false;
            // After the event: the release must not close the menu just opened.
            QMetaObject::invokeMethod(this, &MainWindow::openMenuBar, Qt::QueuedConnection);
        }
        break;
    }
    case QEvent::MouseButtonPress:
        altAlone_ = false;
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

QWidget* MainWindow::buildPage(MenuPage page) {
    auto* widget = new MenuPageWidget(this);
    QMenuBar* bar = widget->menuBar();
    bar->setObjectName(page == MenuPage::GeneralData ? QStringLiteral("MenuDatiGenerali")
                                                     : QStringLiteral("MenuRegistro"));
    menuBars_[page == MenuPage::GeneralData ? 0 : 1] = bar;
    QMenu* current = nullptr;
    std::string_view currentName;
    for (const CommandEntry& entry : commandTable()) {
        if (entry.page != page) continue;
        QAction* action = nullptr;
        if (entry.menu.empty()) {
            action = bar->addAction(qs(entry.caption));
        } else {
            if (!current || currentName != entry.menu) {
                current = bar->addMenu(qs(entry.menu));
                currentName = entry.menu;
            }
            action = current->addAction(qs(entry.caption));
        }
        action->setObjectName(qs(entry.action));
        action->setData(entry.tag.value_or(0));
        const CommandEntry* e = &entry;
        connect(action, &QAction::triggered, this, [this, e] { runCommand(*e); });
    }
    return widget;
}

QMenuBar* MainWindow::pageMenuBar(MenuPage page) const {
    return menuBars_[page == MenuPage::GeneralData ? 0 : 1];
}

QAction* MainWindow::commandAction(std::string_view action) const {
    return findChild<QAction*>(qs(action));
}

QString MainWindow::statusText() const {
    return status_->text();
}

void MainWindow::updateCommandStates() {
    for (const CommandEntry& entry : commandTable())
        if (QAction* action = commandAction(entry.action)) action->setEnabled(registry_.has(entry.handler));
}

void MainWindow::runCommand(const CommandEntry& entry) {
    try {
        if (!prepareCommand(entry, ctx_, prompt_)) return;
        registry_.run(entry.handler, ctx_);
    } catch (const std::exception& error) {
        showCommandError(this, error);
    }
}

void MainWindow::refreshStatusBar() {
    try {
        status_->setText(QString::fromStdString(refreshStatus(ctx_, prompt_)));
    } catch (const std::exception& error) {
        showCommandError(this, error);
    }
}

} // namespace accise
