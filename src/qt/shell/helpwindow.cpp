#include "qt/shell/helpwindow.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace accise {
namespace {

constexpr const char* kSharedPage = ":/help/Generale.md";

QString readPage(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

// F1 as a key of the application: whichever widget has the cursor, the help of its
// window opens. The help window itself answers F1 with nothing.
class HelpKey : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        QWidget* window = widget->window();
        // A key reaches every parent on its way up: only the window's own F1 counts.
        if (!window || window != QApplication::activeWindow() || qobject_cast<HelpWindow*>(window)) return false;
        if (QApplication::activePopupWidget()) return false;
        HelpWindow help(window, window);
        help.exec();
        return true;
    }
};

} // namespace

HelpWindow::HelpWindow(const QWidget* window, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("UGUIDA"));
    page_ = pageFor(windowClassOf(window));
    const QString windowTitle = window ? window->windowTitle() : QString();
    setWindowTitle(windowTitle.isEmpty() ? QStringLiteral("Guida") : QStringLiteral("Guida - ") + windowTitle);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("TESTOGUIDA"));
    browser_->setOpenLinks(false);
    browser_->setMarkdown(readPage(page_));
    auto* close = new QPushButton(QStringLiteral("&Chiudi"), this);
    close->setObjectName(QStringLiteral("BCHIUDI"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(560, 520);
    browser_->setFocus();
}

QString HelpWindow::pageFor(const QString& windowClass) {
    const QString own = QStringLiteral(":/help/") + windowClass + QStringLiteral(".md");
    return !windowClass.isEmpty() && QFile::exists(own) ? own : QString::fromLatin1(kSharedPage);
}

QString HelpWindow::windowClassOf(const QWidget* window) {
    if (!window) return {};
    QString name = QString::fromLatin1(window->metaObject()->className());
    const qsizetype colons = name.lastIndexOf(QStringLiteral("::"));
    return colons < 0 ? name : name.mid(colons + 2);
}

void installHelpKey() {
    static HelpKey* key = nullptr;
    if (key) return;
    key = new HelpKey(qApp);
    qApp->installEventFilter(key);
}

} // namespace accise
