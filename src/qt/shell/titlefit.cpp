#include "qt/shell/titlefit.h"

#include <algorithm>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QWidget>

namespace accise {
namespace {

// The icon, the three buttons and the margins of a title bar; title bars draw a
// bolder and larger font than the windows', hence the share added to the text.
constexpr int kFrameReserve = 160;
constexpr int kTitleFontSharePercent = 20;

class TitleFit : public QObject {
public:
    TitleFit(int maxWidth, QObject* parent) : QObject(parent), maxWidth_(maxWidth) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show) return false;
        auto* window = qobject_cast<QDialog*>(watched);
        if (!window || !window->isWindow()) return false;
        int needed = widthForTitle(window, window->windowTitle());
        if (maxWidth_ > 0) needed = std::min(needed, maxWidth_);
        // A window of fixed size keeps it only if its title fits.
        if (window->width() >= needed) return false;
        if (window->maximumWidth() < needed) window->setMaximumWidth(needed);
        window->setMinimumWidth(std::max(window->minimumWidth(), needed));
        window->resize(needed, window->height());
        return false;
    }

private:
    int maxWidth_;
};

} // namespace

int widthForTitle(const QWidget* window, const QString& title) {
    QFont font = window ? window->font() : QApplication::font();
    font.setBold(true);
    const int text = QFontMetrics(font).horizontalAdvance(title);
    return text + text * kTitleFontSharePercent / 100 + kFrameReserve;
}

void installTitleFit(int maxWindowWidth) {
    static TitleFit* fit = nullptr;
    if (fit) return;
    fit = new TitleFit(maxWindowWidth, qApp);
    qApp->installEventFilter(fit);
}

} // namespace accise
