#include "qt/framework/formwidgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace accise {

QLineEdit* lineEdit(QWidget* parent, const char* name) {
    auto* line = new QLineEdit(parent);
    line->setObjectName(QString::fromLatin1(name));
    return line;
}

QLabel* namedLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QLabel* namedLabel(QWidget* parent, const char* name) { return namedLabel(parent, name, QString()); }

QHBoxLayout* confirmRow(QPushButton* confirm, QPushButton* abandon) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(confirm);
    row->addWidget(abandon);
    return row;
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
