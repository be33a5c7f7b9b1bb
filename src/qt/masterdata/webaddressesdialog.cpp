#include "qt/masterdata/webaddressesdialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "qt/framework/formwidgets.h"

namespace accise {
namespace {

// Entries LE<first> .. LE<last> as label-field rows of one grid; every caption gets
// the width of the longest, so the fields of all groups line up.
void addEntries(QWidget* owner, QGridLayout* grid, int first, int last) {
    grid->setColumnStretch(1, 1);
    int captionWidth = 0;
    for (const char* caption : kWebAddressCaptions)
        captionWidth =
            std::max(captionWidth, owner->fontMetrics().horizontalAdvance(QString::fromUtf8(caption)));
    for (int i = first; i <= last; ++i) {
        auto* line = new QLineEdit(owner);
        line->setObjectName(QString::fromStdString(WebAddressesLogic::control(i)));
        auto* caption = new QLabel(QString::fromUtf8(kWebAddressCaptions[i]), owner);
        caption->setBuddy(line);
        caption->setMinimumWidth(captionWidth + 8);
        grid->addWidget(caption, i - first, 0);
        grid->addWidget(line, i - first, 1);
    }
}

} // namespace

WebAddressesDialog::WebAddressesDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                       QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    auto* live = new QGroupBox(QStringLiteral("AMBIENTE REALE"), this);
    addEntries(live, new QGridLayout(live), 0, 4);
    auto* test = new QGroupBox(QStringLiteral("AMBIENTE DI ADDESTRAMENTO / PROVA"), this);
    addEntries(test, new QGridLayout(test), 5, 6);
    // The agency's home page is optional: a group of its own, without a title.
    auto* home = new QGroupBox(this);
    addEntries(home, new QGridLayout(home), 7, 7);

    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();
    QHBoxLayout* buttons = confirmRow(confirm, abandon);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(live);
    layout->addWidget(test);
    layout->addWidget(home);
    layout->addStretch();
    layout->addLayout(buttons);
    finishSetup(confirm, abandon);
    resize(720, sizeHint().height());
}

} // namespace accise
