#include "qt/masterdata/installationsettingsdialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/framework/formwidgets.h"

namespace accise {

using namespace installationsettingswindow;

InstallationSettingsDialog::InstallationSettingsDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                                       QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    setObjectName(QStringLiteral("TFIMPIANTO"));
    setWindowTitle(QString::fromUtf8(kTitle));
    auto* grid = new QGridLayout;
    grid->setColumnStretch(2, 1);
    auto* splitTitle = new QLabel(QString::fromUtf8(kSplitCaption), this);
    grid->addWidget(splitTitle, 0, 0, 1, 3);
    for (int i = 0; i < kSplitCodes; ++i) {
        const std::string name = InstallationSettingsLogic::splitControl(i);
        QLineEdit* edit = lineEdit(this, name.c_str());
        edit->setFixedWidth(widthForChars(edit, 15, LetterCase::Upper));
        grid->addWidget(label(this, QStringLiteral("Codice &%1").arg(i + 1), edit), i + 1, 0);
        grid->addWidget(edit, i + 1, 1);
    }
    QLineEdit* release = lineEdit(this, InstallationSettingsLogic::kReleaseControl);
    release->setFixedWidth(widthForChars(release, 15, LetterCase::Upper));
    grid->addWidget(label(this, QString::fromUtf8(kReleaseCaption), release), kSplitCodes + 1, 0, 1, 3);
    grid->addWidget(release, kSplitCodes + 2, 1);
    auto* hint = new QLabel(QStringLiteral("Un codice vuoto non è usato. I codici sono confrontati con il codice "
                                           "d'accisa dei Dati dell'Azienda."),
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
    resize(560, sizeHint().height());
}

} // namespace accise
