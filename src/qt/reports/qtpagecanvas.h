#pragma once
// The page canvas on a Qt paged device: a printer (also the one behind a print
// preview) or a PDF writer. Coordinates are the device's dots, from the top left
// corner of the printable area. The painter starts with the first drawing, so the
// orientation set before it applies to every page.
#include <QFont>
#include <QPainter>
#include <memory>

#include "core/reports/pagecanvas.h"

class QPagedPaintDevice;

namespace accise {

class QtPageCanvas : public PageCanvas {
public:
    explicit QtPageCanvas(QPagedPaintDevice& device);
    ~QtPageCanvas() override;
    QtPageCanvas(const QtPageCanvas&) = delete;
    QtPageCanvas& operator=(const QtPageCanvas&) = delete;

    // Ends the painting (the last page is sent). Also done by the destructor.
    void finish();
    // The device refused the painting (a PDF file that cannot be written).
    bool failed() const { return failed_; }

    void setOrientation(PageOrientation orientation) override;
    void setPenWidth(double dots) override;
    double pageWidth() const override;
    double pageHeight() const override;
    double resolution() const override;
    void setFont(std::string_view name, double points) override;
    void setBold(bool on) override;
    void setStrikeOut(bool on) override;
    double textWidth(std::string_view text) const override;
    double lineHeight() const override;
    void text(double x, double y, std::string_view text, TextAnchor anchor) override;
    void line(double x1, double y1, double x2, double y2) override;
    void rectangle(double x1, double y1, double x2, double y2) override;
    void newPage() override;

private:
    QPainter& painter();

    QPagedPaintDevice& device_;
    QPainter painter_;
    QFont font_;
    double penWidth_ = 1;
    bool failed_ = false;
};

} // namespace accise
