#pragma once
// The small widget makers every entry dialog uses: a control is found by its
// objectName, which is the control's name in the window logic.
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QString;
class QWidget;

namespace accise {

// A line edit named after its control ("LE0", "DATMOV", ...).
QLineEdit* lineEdit(QWidget* parent, const char* name);
// A caption whose accelerator moves to `buddy`.
QLabel* label(QWidget* parent, const QString& text, QWidget* buddy);
// A label named after its control, for the texts the window changes ("LMAX", ...).
QLabel* namedLabel(QWidget* parent, const char* name, const QString& text);
QLabel* namedLabel(QWidget* parent, const char* name);
// A window button that never takes the cursor, so pressing it leaves no field.
QPushButton* plainButton(QWidget* parent, const QString& caption, const char* name);
// Makes `field` a password field (dots instead of characters) and returns the button
// beside it that shows the text only while it is held down.
QPushButton* showWhileHeldButton(QWidget* parent, QLineEdit* field, const char* name);
// The row of a window's confirm and abandon buttons, at its right end.
QHBoxLayout* confirmRow(QPushButton* confirm, QPushButton* abandon);

} // namespace accise
