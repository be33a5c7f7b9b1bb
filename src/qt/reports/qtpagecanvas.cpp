#include "qt/reports/qtpagecanvas.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <algorithm>

namespace accise {
namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

QtPageCanvas::QtPageCanvas(QPagedPaintDevice& device) : device_(device) {
    font_ = QFont(QStringLiteral("Courier New"), 12);
}

QtPageCanvas::~QtPageCanvas() { finish(); }

void QtPageCanvas::finish() {
    if (painter_.isActive()) painter_.end();
}

QPainter& QtPageCanvas::painter() {
    if (!painter_.isActive() && !failed_) {
        if (!painter_.begin(&device_)) {
            failed_ = true;
            return painter_;
        }
        painter_.setFont(font_);
        QPen pen(Qt::black);
        pen.setWidthF(penWidth_);
        painter_.setPen(pen);
        painter_.setBrush(Qt::NoBrush);
    }
    return painter_;
}

void QtPageCanvas::setOrientation(PageOrientation orientation) {
    if (painter_.isActive()) return; // only before the first page
    device_.setPageOrientation(orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                          : QPageLayout::Portrait);
}

void QtPageCanvas::setPenWidth(double dots) {
    penWidth_ = std::max(1.0, dots);
    if (painter_.isActive()) {
        QPen pen = painter_.pen();
        pen.setWidthF(penWidth_);
        painter_.setPen(pen);
    }
}

double QtPageCanvas::pageWidth() const { return device_.width(); }
double QtPageCanvas::pageHeight() const { return device_.height(); }
double QtPageCanvas::resolution() const { return device_.logicalDpiX(); }

void QtPageCanvas::setFont(std::string_view name, double points) {
    font_ = QFont(qs(name));
    font_.setPointSizeF(points);
    font_.setStyleHint(name.find("Courier") != std::string_view::npos ? QFont::TypeWriter : QFont::Serif);
    if (painter_.isActive()) painter_.setFont(font_);
}

void QtPageCanvas::setBold(bool on) {
    font_.setBold(on);
    if (painter_.isActive()) painter_.setFont(font_);
}

void QtPageCanvas::setStrikeOut(bool on) {
    font_.setStrikeOut(on);
    if (painter_.isActive()) painter_.setFont(font_);
}

double QtPageCanvas::textWidth(std::string_view text) const {
    return QFontMetricsF(font_, &device_).horizontalAdvance(qs(text));
}

double QtPageCanvas::lineHeight() const { return QFontMetricsF(font_, &device_).height(); }

void QtPageCanvas::text(double x, double y, std::string_view s, TextAnchor anchor) {
    QPainter& p = painter();
    const double baseline = anchor == TextAnchor::Top ? y + QFontMetricsF(font_, &device_).ascent() : y;
    p.drawText(QPointF(x, baseline), qs(s));
}

void QtPageCanvas::line(double x1, double y1, double x2, double y2) {
    painter().drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void QtPageCanvas::rectangle(double x1, double y1, double x2, double y2) {
    painter().drawRect(QRectF(QPointF(x1, y1), QPointF(x2, y2)));
}

void QtPageCanvas::newPage() {
    painter();
    device_.newPage();
}

} // namespace accise
