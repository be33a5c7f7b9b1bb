#pragma once
// The year field of the list windows (LANNO): at most four digits; any other key is
// dropped with a beep, Enter moves on to the next control.
#include <QObject>

class QFont;
class QLineEdit;

namespace accise {

class YearKeyFilter : public QObject {
    Q_OBJECT
public:
    // Installs itself on `field` (and is owned by it).
    explicit YearKeyFilter(QLineEdit* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* field_;
};

// Moves the cursor from `field` to the next control, as Tab does.
void moveToNextControl(QLineEdit* field);

// The list windows' fixed-pitch font (Courier New, or the system's fixed font).
QFont listFont(int pointSize);

} // namespace accise
