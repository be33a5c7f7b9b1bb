#include "qt/duty/dutydialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/framework/formwidgets.h"

namespace accise {

DutyDialog::DutyDialog(DutyWindowLogic& logic, const char* formName, QWidget* parent)
    : EntryDialog(logic, parent), duty_(logic), grid_(new QGridLayout) {
    setObjectName(QString::fromLatin1(formName));
    grid_->setColumnStretch(1, 1);
}

QLineEdit* DutyDialog::makeField(const char* control, bool amount) {
    auto* line = lineEdit(this, control);
    if (amount) {
        line->setAlignment(Qt::AlignRight);
        line->setFixedWidth(widthForChars(line, 16));
    }
    return line;
}

QLabel* DutyDialog::addRow(const QString& caption, QWidget* field, std::initializer_list<QWidget*> beside) {
    auto* text = label(this, caption, field);
    grid_->addWidget(text, rows_, 0);
    const std::string name = field->objectName().toStdString();
    captions_[name] = text;
    auto* row = new QHBoxLayout;
    row->addWidget(field);
    QWidget* holder = nullptr;
    for (QWidget* w : beside) {
        row->addWidget(w, w->objectName().startsWith(QLatin1Char('D')) ? 1 : 0);
        holder = w;
        besides_.emplace(name + "/" + w->objectName().toStdString(), w);
    }
    if (!holder) row->addStretch();
    grid_->addLayout(row, rows_++, 1);
    return text;
}

void DutyDialog::build() {
    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();
    QHBoxLayout* buttons = confirmRow(confirm, abandon);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid_);
    layout->addStretch();
    layout->addLayout(buttons);
    finishSetup(confirm, abandon);
    if (auto* notes = findChild<QLineEdit*>(QStringLiteral("ANNOTA"))) notes->setMinimumWidth(widthForChars(notes, 60));
    resize(sizeHint().expandedTo(QSize(640, 0)));
}

void DutyDialog::valuesShown() {
    setWindowTitle(QString::fromStdString(duty_.title()));
    for (const auto& f : duty_.fields()) {
        auto* line = findChild<QLineEdit*>(QString::fromStdString(f.control));
        if (!line || f.readOnly) continue;
        line->setReadOnly(!duty_.isEditable(f.control));
        const bool shown = duty_.isShown(f.control);
        line->setVisible(shown);
        if (auto it = captions_.find(f.control); it != captions_.end()) it->second->setVisible(shown);
        for (auto& [key, w] : besides_)
            if (key.rfind(f.control + "/", 0) == 0) w->setVisible(shown);
    }
}

} // namespace accise
