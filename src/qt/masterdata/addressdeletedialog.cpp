#include "qt/masterdata/addressdeletedialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace accise {

AddressDeleteDialog::AddressDeleteDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                         AddressRecord entry, QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services, std::move(entry)) {
    auto* text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("TESTO"));
    text->setReadOnly(true);
    // It takes the cursor, so that Enter in the confirmation field leaves that field.
    text->setFocusPolicy(Qt::StrongFocus);
    text->setMinimumSize(420, 220);

    auto* answer = new QLineEdit(this);
    answer->setObjectName(QStringLiteral("CONFSI"));
    auto* label = new QLabel(QString::fromUtf8(addressdelete::kTypeYes), this);
    label->setBuddy(answer);
    auto* answerRow = new QHBoxLayout;
    answerRow->addWidget(label);
    answerRow->addWidget(answer);
    answerRow->addStretch();

    auto* abandon = makeAbandonButton();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(abandon);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text, 1);
    layout->addLayout(answerRow);
    layout->addLayout(buttons);

    finishSetup(nullptr, abandon);
}

} // namespace accise
