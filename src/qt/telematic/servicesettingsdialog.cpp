#include "qt/telematic/servicesettingsdialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/flow/servicesettings.h"
#include "qt/framework/formwidgets.h"

namespace accise {

using namespace servicesettingswindow;

ServiceSettingsDialog::ServiceSettingsDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                             QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    setObjectName(QStringLiteral("TFSERVIZIO"));
    setWindowTitle(QString::fromUtf8(kTitle));
    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    int row = 0;
    for (const char* key : kServiceKeys) {
        QLineEdit* edit = lineEdit(this, key);
        grid->addWidget(label(this, QString::fromStdString(ServiceSettingsLogic::caption(key)), edit), row, 0);
        grid->addWidget(edit, row, 1);
        ++row;
    }
    auto* hint = new QLabel(QStringLiteral("Un campo vuoto prende il valore predefinito. Finché l'host dell'ambiente "
                                           "reale è vuoto nessun flusso è inviato nell'ambiente reale. Il certificato "
                                           "aggiuntivo di prova non vale per l'ambiente reale."),
                            this);
    hint->setWordWrap(true);

    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();
    QHBoxLayout* buttons = confirmRow(confirm, abandon);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(hint);
    layout->addStretch();
    layout->addLayout(buttons);
    finishSetup(confirm, abandon);
    resize(640, sizeHint().height());
}

} // namespace accise
