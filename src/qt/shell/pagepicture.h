#pragma once
// The decorative picture of a page of the main window, drawn to any size.
#include <QWidget>

namespace accise {

class PagePicture : public QWidget {
    Q_OBJECT
public:
    explicit PagePicture(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace accise
