#include "qt/masterdata/pathsdialog.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/framework/formwidgets.h"

namespace accise {

PathsDialog::PathsDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    chooser_ = [](QWidget* owner, const QString& start) {
        return QFileDialog::getOpenFileName(owner, QStringLiteral("Apri"), start);
    };
    auto* grid = new QGridLayout;
    grid->setColumnStretch(0, 1);
    for (int i = 0; i < form_.entries(); ++i) {
        const QString name = QString::fromStdString(ApplicationPathsLogic::control(i));
        auto* line = new QLineEdit(this);
        line->setObjectName(name);
        auto* caption = new QLabel(QString::fromUtf8(kApplicationPathCaptions[i]), this);
        caption->setBuddy(line);
        auto* browseButton =
            makeSideButton(QStringLiteral("..."), QString(), QStringLiteral("BSFOGLIA") + QString::number(i));
        connect(browseButton, &QPushButton::clicked, this, [this, i] { browse(i); });
        grid->addWidget(caption, 2 * i, 0, 1, 2);
        grid->addWidget(line, 2 * i + 1, 0);
        grid->addWidget(browseButton, 2 * i + 1, 1);
    }
    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();
    QHBoxLayout* buttons = confirmRow(confirm, abandon);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);
    finishSetup(confirm, abandon);
    resize(620, sizeHint().height());
}

void PathsDialog::browse(int entry) {
    pullValues();
    const QString chosen = chooser_(this, QString::fromStdString(form_.browseStart(entry)));
    if (chosen.isEmpty()) return;
    runAction([&]() -> std::optional<std::string> {
        // The file dialog answers with "/" on every system; the folders derived from
        // it ("dafirmare", "firmati") end with the system's own separator.
        form_.fileChosen(entry, QDir::toNativeSeparators(chosen).toStdString());
        return ApplicationPathsLogic::control(entry);
    });
}

} // namespace accise
