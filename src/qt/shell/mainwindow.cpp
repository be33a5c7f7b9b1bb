#include "qt/shell/mainwindow.h"

#include <algorithm>

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
#include <QTabBar>
#include <QTabWidget>

#include "core/tables/dates.h"
#include "logic/shell/commands.h"
#include "core/tables/company.h"
#include "logic/shell/dashboarddeadlines.h"
#include "qt/shell/dashboardview.h"
#include "qt/shell/pagepicture.h"
#include "qt/shell/shell.h"
#include "qt/shell/qtprompt.h"

namespace accise {
namespace {

constexpr const char* kPageSwitchHint =
    "Ctrl+Tab, Ctrl+PagGiù o Ctrl+PagSu: passa all'altra pagina; F10 o Alt: apre il menu";

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

// A page of the main window: its menu bar on top, "Dove sono i registri" below and
// the page's picture, small, at its right.
class MenuPageWidget : public QWidget {
public:
    explicit MenuPageWidget(QWidget* parent) : QWidget(parent) {
        menuBar_ = new QMenuBar(this);
        menuBar_->setNativeMenuBar(false);
        auto* style = new NoAltNavigationStyle;
        style->setParent(this);
        menuBar_->setStyle(style);
        dashboard_ = new DashboardView(this);
        picture_ = new PagePicture(this);
        setFocusProxy(dashboard_);
    }
    QMenuBar* menuBar() const { return menuBar_; }
    DashboardView* dashboard() const { return dashboard_; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        const int barHeight = menuBar_->sizeHint().height();
        menuBar_->setGeometry(0, 0, width(), barHeight);
        constexpr int kMargin = 8;
        const int pictureWidth = std::min(140, width() / 5);
        const int pictureHeight = pictureWidth * 3 / 4;
        const int top = barHeight + kMargin;
        dashboard_->setGeometry(kMargin, top, std::max(0, width() - pictureWidth - 3 * kMargin),
                                std::max(0, height() - top - kMargin));
        picture_->setGeometry(width() - pictureWidth - kMargin, top, pictureWidth, pictureHeight);
    }

private:
    QMenuBar* menuBar_;
    DashboardView* dashboard_;
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
    pages_->tabBar()->setToolTip(QString::fromUtf8(kPageSwitchHint));
    setCentralWidget(pages_);
    // The page's lines have the cursor, so the arrows and Enter reach them at once.
    connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0 && index < 2 && dashboards_[index]) dashboards_[index]->setFocus();
    });
    dashboards_[0]->setFocus();

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("StatusText"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addWidget(status_, 1);
    saved_ = new QLabel(this);
    saved_->setObjectName(QStringLiteral("LULTIMOSALVATAGGIO"));
    saved_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addPermanentWidget(saved_);
    ctx_.saveAnnounced = [this](const std::string& text) { saved_->setText(QString::fromStdString(text)); };

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
    // The other page, wherever the cursor is in this window.
    const auto nextPage = [this] { pages_->setCurrentIndex((pages_->currentIndex() + 1) % pages_->count()); };
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                    QKeySequence(Qt::CTRL | Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::Key_PageUp)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, nextPage);
    }
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
    // The command values outlive this window: they must not call it any more.
    ctx_.saveAnnounced = nullptr;
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
    dashboards_[page == MenuPage::GeneralData ? 0 : 1] = widget->dashboard();
    connect(widget->dashboard(), &DashboardView::commandRequested, this,
            [this](const QString& command) { runDashboardCommand(command.toStdString()); });
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

QString MainWindow::savedText() const {
    return saved_->text();
}

void MainWindow::updateCommandStates() {
    for (const CommandEntry& entry : commandTable())
        if (QAction* action = commandAction(entry.action)) action->setEnabled(registry_.has(entry.handler));
}

void MainWindow::runCommand(const CommandEntry& entry) {
    try {
        if (prepareCommand(entry, ctx_, prompt_)) registry_.run(entry.handler, ctx_);
    } catch (const std::exception& error) {
        showCommandError(this, error);
    }
    // The window has closed: what it saved shows on the page.
    refreshDashboard();
}

void MainWindow::refreshStatusBar() {
    try {
        status_->setText(QString::fromStdString(refreshStatus(ctx_, prompt_)));
    } catch (const std::exception& error) {
        showCommandError(this, error);
    }
    refreshDashboard();
}

DashboardView* MainWindow::dashboard(MenuPage page) const {
    return dashboards_[page == MenuPage::GeneralData ? 0 : 1];
}

void MainWindow::refreshDashboard() {
    std::vector<DashboardLine> lines;
    try {
        const BooksStanding standing =
            computeBooksStanding(ctx_.folders, dashboardDay_ != 0 ? dashboardDay_ : todayDayNumber(), ctx_.alcopp, ctx_.company.user_code, audit_);
        lines = dashboardLines(standing);
    } catch (const std::exception& error) {
        // A damaged file is said on the page itself: a message at every window's
        // close would stand in the clerk's way.
        lines = {{DashboardLine::Kind::Heading, "Dove sono i registri", ""},
                 {DashboardLine::Kind::Warning, std::string("I registri non si possono leggere: ") + error.what(), ""}};
    }
    for (DashboardView* view : dashboards_)
        if (view) view->showLines(lines);
}

void MainWindow::runDashboardCommand(const std::string& command) {
    if (command == kDeadlinesCommand) {
        try {
            const std::string file = deadlinesFileToEdit(ctx_.folders).string();
            if (fileOpener_) fileOpener_(file);
            else openFileWithDesktop(file);
        } catch (const std::exception& error) {
            showCommandError(this, error);
        }
        return;
    }
    if (const CommandEntry* entry = findCommand(command)) {
        runCommand(*entry);
        return;
    }
    // A window of its own that no menu lists (the books audit report).
    if (registry_.has(command)) {
        try {
            registry_.run(command, ctx_);
        } catch (const std::exception& error) {
            showCommandError(this, error);
        }
        refreshDashboard();
    }
}

} // namespace accise
