#include "framework/qt/formwidgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace accise {

QLineEdit* lineEdit(QWidget* parent, const char* name) {
    auto* line = new QLineEdit(parent);
    line->setObjectName(QString::fromLatin1(name));
    return line;
}

QLabel* label(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

QPushButton* plainButton(QWidget* parent, const QString& caption, const char* name) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    return button;
}

QPushButton* showWhileHeldButton(QWidget* parent, QLineEdit* field, const char* name) {
    field->setEchoMode(QLineEdit::Password);
    auto* button = plainButton(parent, QStringLiteral("Mostra"), name);
    button->setToolTip(QStringLiteral("tenere premuto per vedere la password"));
    QObject::connect(button, &QPushButton::pressed, field, [field] { field->setEchoMode(QLineEdit::Normal); });
    QObject::connect(button, &QPushButton::released, field, [field] { field->setEchoMode(QLineEdit::Password); });
    return button;
}

} // namespace accise
