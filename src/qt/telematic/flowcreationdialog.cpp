#include "qt/telematic/flowcreationdialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/framework/formwidgets.h"
#include "qt/telematic/checklistwidget.h"

namespace accise {

FlowCreationDialog::FlowCreationDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    setWindowTitle(QString::fromStdString(form_.title()));
    auto line = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        return edit;
    };
    auto* year = line("LANNO");
    auto* top = new QHBoxLayout;
    auto* yearLabel = new QLabel(QStringLiteral("Movimenti nell'anno:"), this);
    yearLabel->setBuddy(year);
    top->addWidget(yearLabel);
    top->addWidget(year);
    auto* all = new QPushButton(QStringLiteral("Tutti"), this);
    all->setObjectName(QStringLiteral("BTUTTI"));
    auto* none = new QPushButton(QStringLiteral("Nessuno"), this);
    none->setObjectName(QStringLiteral("BNESSUNO"));
    all->setFocusPolicy(Qt::NoFocus);
    none->setFocusPolicy(Qt::NoFocus);
    top->addStretch();
    top->addWidget(all);
    top->addWidget(none);

    list_ = new CheckListWidget(form_.list(), this);
    list_->setMinimumSize(760, 300);

    auto* folderRow = new QHBoxLayout;
    auto* label3 = new QLabel(QString::fromUtf8("Il FLUSSO sarà generato nella cartella:  "), this);
    label3->setObjectName(QStringLiteral("Label3"));
    folder_ = new QLabel(this);
    folder_->setObjectName(QStringLiteral("LFLUSSO"));
    auto* folder = folder_;
    folderRow->addWidget(label3);
    folderRow->addWidget(folder, 1);

    auto* date = line("DATFLU");
    auto* number = line("NUMFLU");
    number->setAlignment(Qt::AlignRight);
    number->setToolTip(QString::fromUtf8(kFlowNumberHint));
    sign_ = new QCheckBox(QStringLiteral("Esegue Firma e Verifica "), this);
    sign_->setObjectName(QStringLiteral("CFIRMA"));
    sign_->setChecked(true);
    connect(sign_, &QCheckBox::toggled, this, [this](bool on) { form_.setValue("CFIRMA", on ? "1" : "0"); });
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Data del  Flusso"), this), 0, 0);
    grid->addWidget(date, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Numero del  Flusso"), this), 1, 0);
    grid->addWidget(number, 1, 1);
    grid->addWidget(sign_, 2, 0, 1, 2);
    grid->setColumnStretch(2, 1);

    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();
    QHBoxLayout* buttons = confirmRow(confirm, abandon);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list_, 1);
    layout->addLayout(folderRow);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(all, &QPushButton::clicked, this, [this] {
        runAction([this]() -> std::optional<std::string> {
            form_.list().tickAll();
            return std::nullopt;
        });
    });
    connect(none, &QPushButton::clicked, this, [this] {
        runAction([this]() -> std::optional<std::string> {
            form_.list().tickNone();
            return std::nullopt;
        });
    });
    finishSetup(confirm, abandon);
}

void FlowCreationDialog::valuesShown() {
    list_->refresh();
    folder_->setText(QString::fromStdString(form_.signFolderText()));
    sign_->setChecked(form_.value("CFIRMA") != "0");
}

} // namespace accise
