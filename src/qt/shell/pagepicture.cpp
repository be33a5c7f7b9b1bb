#include "qt/shell/pagepicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace accise {

PagePicture::PagePicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PagePicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect().adjusted(1, 1, -1, -1);
    if (area.width() < 40 || area.height() < 40) return;

    // Background: a warm panel.
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0, QColor(0xFB, 0xF6, 0xEC));
    sky.setColorAt(1, QColor(0xEE, 0xDF, 0xC4));
    p.setPen(QPen(QColor(0xC8, 0xB0, 0x88), 1));
    p.setBrush(sky);
    p.drawRoundedRect(area, 12, 12);

    // A glass of beer, centred, two thirds of the height.
    const qreal h = area.height() * 0.62;
    const qreal w = h * 0.48;
    const QPointF c = area.center() - QPointF(0, area.height() * 0.06);
    const QRectF glass(c.x() - w / 2, c.y() - h / 2, w, h);
    QPainterPath body;
    body.moveTo(glass.left(), glass.top());
    body.lineTo(glass.right(), glass.top());
    body.lineTo(glass.right() - w * 0.12, glass.bottom());
    body.lineTo(glass.left() + w * 0.12, glass.bottom());
    body.closeSubpath();
    QLinearGradient beer(glass.topLeft(), glass.topRight());
    beer.setColorAt(0, QColor(0xD9, 0x8E, 0x04));
    beer.setColorAt(0.5, QColor(0xF4, 0xB9, 0x2E));
    beer.setColorAt(1, QColor(0xC7, 0x7A, 0x02));
    p.setPen(QPen(QColor(0x8A, 0x5A, 0x10), 2));
    p.setBrush(beer);
    p.drawPath(body);
    // Foam.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xFD, 0xF5));
    const qreal r = w * 0.16;
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(glass.left() + w * (0.1 + 0.2 * i), glass.top()), r, r * 0.8);
    // Bubbles.
    p.setBrush(QColor(255, 255, 255, 120));
    for (int i = 0; i < 9; ++i)
        p.drawEllipse(QPointF(glass.left() + w * (0.25 + 0.06 * (i % 3) + 0.15 * (i % 4)),
                              glass.top() + h * (0.25 + 0.07 * i)),
                      w * 0.02, w * 0.02);

    // Title under the glass.
    QFont font = p.font();
    font.setPointSizeF(std::max(10.0, area.height() / 18));
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x6B, 0x45, 0x0C));
    const QRectF text(area.left(), glass.bottom() + h * 0.04, area.width(), area.bottom() - glass.bottom());
    p.drawText(text, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Accise Birra"));
}

} // namespace accise
