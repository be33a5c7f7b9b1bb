#include "qt/reportwindows/searchdialogs.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <memory>

#include "logic/shell/commandtable.h"
#include "logic/shell/windowregistry.h"
#include "qt/framework/formwidgets.h"

namespace accise {

namespace {

QLabel* fileLabel(QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(QStringLiteral("lfile"));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QPushButton* openFileButton(QWidget* parent) {
    return plainButton(parent, QStringLiteral("apri il file"), "BAPRI");
}

QHBoxLayout* buttonRow(QWidget* first, QPushButton* confirm, QPushButton* abandon) {
    auto* row = new QHBoxLayout;
    if (first) row->addWidget(first);
    row->addStretch();
    row->addWidget(confirm);
    row->addWidget(abandon);
    return row;
}

} // namespace

RegisterSearchDialog::RegisterSearchDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                           QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    setObjectName(QStringLiteral("TFRICREGC"));
    auto* from = lineEdit(this, "MDADA");
    auto* to = lineEdit(this, "MDAAL");
    auto* code = lineEdit(this, "MITDES");
    code->setToolTip(QString::fromUtf8(registersearchwindow::kCodeHint));
    auto* pick = makeSideButton(QStringLiteral("..."), QStringLiteral("mostra l'archivio"), QStringLiteral("BMITDES"));
    open_ = openFileButton(this);
    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();

    auto* grid = new QGridLayout;
    grid->addWidget(label(this, QStringLiteral("Dalla data"), from), 0, 0);
    grid->addWidget(from, 0, 1, Qt::AlignLeft);
    grid->addWidget(label(this, QStringLiteral("Alla data"), to), 1, 0);
    grid->addWidget(to, 1, 1, Qt::AlignLeft);
    grid->addWidget(label(this, QString::fromStdString(form_.codeLabel()), code), 2, 0);
    auto* codeRow = new QHBoxLayout;
    codeRow->addWidget(code);
    codeRow->addWidget(pick);
    codeRow->addStretch();
    grid->addLayout(codeRow, 2, 1);
    grid->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(fileLabel(this));
    layout->addLayout(buttonRow(open_, confirm, abandon));

    connect(pick, &QPushButton::clicked, this, [this] { runAction([this] { return form_.chooseCode(); }); });
    bindLookupKeys("MITDES", pick);
    connect(open_, &QPushButton::clicked, this, [this] { runAction([this] { return form_.openExport(); }); });
    finishSetup(confirm, abandon);
    resize(560, sizeHint().height());
}

void RegisterSearchDialog::valuesShown() {
    open_->setVisible(form_.fileButtonShown());
}

DutySearchDialog::DutySearchDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, int kindChoice,
                                   QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services, kindChoice) {
    setObjectName(QStringLiteral("TFRICREGDER"));
    auto* kinds = new QGroupBox(this);
    kinds->setObjectName(QStringLiteral("RREGISTRI"));
    auto* kindLayout = new QVBoxLayout(kinds);
    for (const char* text : dutysearchwindow::kKindTexts)
        kindLayout->addWidget(new QRadioButton(QString::fromUtf8(text), kinds));
    auto* from = lineEdit(this, "MDADA");
    auto* to = lineEdit(this, "MDAAL");
    open_ = openFileButton(this);
    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();

    auto* grid = new QGridLayout;
    grid->addWidget(label(this, QStringLiteral("Dal mese/anno"), from), 0, 0);
    grid->addWidget(from, 0, 1, Qt::AlignLeft);
    grid->addWidget(label(this, QStringLiteral("Al mese"), to), 1, 0);
    grid->addWidget(to, 1, 1, Qt::AlignLeft);
    grid->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(kinds);
    layout->addLayout(grid);
    layout->addWidget(fileLabel(this));
    layout->addLayout(buttonRow(open_, confirm, abandon));

    connect(open_, &QPushButton::clicked, this, [this] { runAction([this] { return form_.openExport(); }); });
    finishSetup(confirm, abandon);
    resize(520, sizeHint().height());
}

void DutySearchDialog::valuesShown() {
    open_->setVisible(form_.fileButtonShown());
}

StockSearchDialog::StockSearchDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                     const std::string& from, QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services, from) {
    setObjectName(QStringLiteral("TFRICGIACENZE"));
    auto* fromField = lineEdit(this, "MDADA");
    auto* to = lineEdit(this, "MDAAL");
    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();
    auto* grid = new QGridLayout;
    grid->addWidget(label(this, QStringLiteral("Dalla data"), fromField), 0, 0);
    grid->addWidget(fromField, 0, 1, Qt::AlignLeft);
    grid->addWidget(label(this, QStringLiteral("Alla data"), to), 1, 0);
    grid->addWidget(to, 1, 1, Qt::AlignLeft);
    grid->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttonRow(nullptr, confirm, abandon));
    finishSetup(confirm, abandon);
    resize(420, sizeHint().height());
}

void registerSearchWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services) {
    registry.add(handlers::kRegisterSearch, [parent, &prompt, &services](CommandContext& ctx) {
        RegisterSearchDialog(ctx, prompt, services, parent).run();
    });
    registry.add(handlers::kDutySearch, [parent, &prompt, &services,
                                         kind = std::make_shared<int>(dutysearchwindow::kSummaryKind)](
                                            CommandContext& ctx) {
        DutySearchDialog dialog(ctx, prompt, services, *kind, parent);
        dialog.run();
        *kind = dialog.form().kindChoice();
    });
    registry.add(handlers::kStockSearch, [parent, &prompt, &services,
                                          from = std::make_shared<std::string>(stocksearchwindow::kFirstFrom)](
                                             CommandContext& ctx) {
        StockSearchDialog dialog(ctx, prompt, services, *from, parent);
        dialog.run();
        *from = dialog.form().value("MDADA");
    });
}

} // namespace accise
