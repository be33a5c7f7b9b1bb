#include "qt/movements/yearfield.h"

#include <QApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/tables/keyfilters.h"

namespace accise {

QLineEdit* makeYearField(QWidget* parent) {
    auto* year = new QLineEdit(parent);
    year->setObjectName(QStringLiteral("LANNO"));
    year->setFixedWidth(year->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    new YearKeyFilter(year);
    return year;
}

QLabel* yearCaption(QWidget* parent, const QString& text, QLineEdit* year) {
    auto* caption = new QLabel(text, parent);
    caption->setBuddy(year);
    return caption;
}

QPushButton* listAbandonButton(QDialog* dialog) {
    auto* abandon = new QPushButton(QStringLiteral("&Abbandona"), dialog);
    abandon->setObjectName(QStringLiteral("BABBANDONA"));
    abandon->setAutoDefault(false);
    abandon->setFocusPolicy(Qt::TabFocus);
    QObject::connect(abandon, &QPushButton::clicked, dialog, &QDialog::reject);
    return abandon;
}

YearKeyFilter::YearKeyFilter(QLineEdit* field) : QObject(field), field_(field) {
    field->setMaxLength(4);
    field->installEventFilter(this);
}

bool YearKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != field_ || event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        moveToNextControl(field_);
        return true;
    }
    char32_t typed;
    if (key->key() == Qt::Key_Backspace)
        typed = kBackspaceKey;
    else if (key->text().isEmpty() || !key->text().at(0).isPrint())
        return false; // cursor keys, Tab, Esc keep their meaning
    else
        typed = key->text().toUcs4().front();
    if (filterKey(KeyFilter::UnsignedDigits, field_->text().toStdString(), typed).kind ==
        KeyOutcome::Reject) {
        QApplication::beep();
        return true;
    }
    return false;
}

void moveToNextControl(QLineEdit* field) {
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(field, &tab);
}

QFont listFont(int pointSize) {
    QFont font(QStringLiteral("Courier New"), pointSize);
    font.setStyleHint(QFont::TypeWriter);
    if (!font.exactMatch()) {
        QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fixed.setPointSize(pointSize);
        return fixed;
    }
    return font;
}

} // namespace accise
