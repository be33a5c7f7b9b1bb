#pragma once
// The year field of the list windows (LANNO): at most four digits; any other key is
// dropped with a beep, Enter moves on to the next control.
#include <QObject>

class QDialog;
class QFont;
class QLabel;
class QLineEdit;
class QPushButton;
class QString;

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

// The list windows' year field LANNO (four digits wide, with its key filter) and its
// caption, whose accelerator moves to it.
QLineEdit* makeYearField(QWidget* parent);
QLabel* yearCaption(QWidget* parent, const QString& text, QLineEdit* year);

// The list windows' "&Abbandona" (BABBANDONA): closes `dialog` as cancelled. A click
// on it leaves no field (so nothing typed is acted on); Tab and Enter reach it.
QPushButton* listAbandonButton(QDialog* dialog);

// Moves the cursor from `field` to the next control, as Tab does.
void moveToNextControl(QLineEdit* field);

// The list windows' fixed-pitch font (Courier New, or the system's fixed font).
QFont listFont(int pointSize);

} // namespace accise
