#pragma once
// The information window: "ultimo aggiornamento: " and the date of the program file.
// A click or Esc closes it.
#include <QDialog>

class QLabel;

namespace accise {

class InfoWindow : public QDialog {
    Q_OBJECT
public:
    explicit InfoWindow(QWidget* parent = nullptr);
    QString text() const;

    // The day number of the program file's last change.
    static double programFileDay();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QLabel* label_;
};

} // namespace accise
