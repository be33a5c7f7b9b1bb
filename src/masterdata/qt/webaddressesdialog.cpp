#include "masterdata/qt/webaddressesdialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace accise {
namespace {

// Entries LE<first> .. LE<last> as label-field rows of one grid.
void addEntries(QWidget* owner, QGridLayout* grid, int first, int last) {
    grid->setColumnStretch(1, 1);
    for (int i = first; i <= last; ++i) {
        auto* line = new QLineEdit(owner);
        line->setObjectName(QString::fromStdString(WebAddressesLogic::control(i)));
        auto* caption = new QLabel(QString::fromUtf8(kWebAddressCaptions[i]), owner);
        caption->setBuddy(line);
        grid->addWidget(caption, i - first, 0);
        grid->addWidget(line, i - first, 1);
    }
}

} // namespace

WebAddressesDialog::WebAddressesDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    auto* live = new QGroupBox(QStringLiteral("AMBIENTE REALE"), this);
    addEntries(live, new QGridLayout(live), 0, 4);
    auto* test = new QGroupBox(QStringLiteral("AMBIENTE DI ADDESTRAMENTO / PROVA"), this);
    addEntries(test, new QGridLayout(test), 5, 6);
    auto* home = new QGridLayout;
    home->setContentsMargins(10, 0, 10, 0);
    addEntries(this, home, 7, 7);

    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(confirm);
    buttons->addWidget(abandon);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(live);
    layout->addWidget(test);
    layout->addLayout(home);
    layout->addStretch();
    layout->addLayout(buttons);
    finishSetup(confirm, abandon);
    resize(720, sizeHint().height());
}

} // namespace accise
