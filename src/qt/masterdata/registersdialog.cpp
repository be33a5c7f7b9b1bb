#include "qt/masterdata/registersdialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/tables/registers.h"
#include "qt/framework/formwidgets.h"

namespace accise {

RegistersDialog::RegistersDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    setObjectName(QStringLiteral("TFPROTREGISTRI"));
    auto* le0 = lineEdit(this, "LE0");
    auto* r10 = lineEdit(this, "R10");
    auto* r11 = lineEdit(this, "R11");
    auto* r12 = lineEdit(this, "R12");
    auto* type = new QComboBox(this);
    type->setObjectName(QStringLiteral("CINTERI0"));
    for (int i = 0; i < kRegisterTypeCount; ++i) type->addItem(QString::fromUtf8(registerTypeName(i).data()));
    type->setCurrentIndex(-1);
    auto* le1 = lineEdit(this, "LE1");
    auto* dle1 = lineEdit(this, "DLE1");
    auto* le2 = lineEdit(this, "LE2");
    auto* le3 = lineEdit(this, "LE3");
    products_ = new QListWidget(this);
    products_->setObjectName(QStringLiteral("CTA20"));

    list_ = plainButton(this, QStringLiteral("&Elenca"), "BELENCA");
    loaded_ = new QLabel(QString::fromUtf8(registerswindow::kLoadedLabel), this);
    loaded_->setObjectName(QStringLiteral("LMODCANC"));
    QFont bold = loaded_->font();
    bold.setBold(true);
    loaded_->setFont(bold);
    loaded_->setStyleSheet(QStringLiteral("color: #b00000;"));

    auto* chooseOffice = makeSideButton(QStringLiteral("..."), QStringLiteral("mostra la tabella"), QStringLiteral("BLE1"));
    auto* newOffice =
        makeSideButton(QStringLiteral("..."), QStringLiteral("Inserisce Nuovo Codice"), QStringLiteral("BNUOVOLE1"));
    chooseOffice->setEnabled(services.hasLookupList());
    newOffice->setEnabled(services.hasCodeEditor());
    list_->setEnabled(services.hasLookupList());

    delete_ = plainButton(this, QStringLiteral("Cance&lla"), "BCANCELLA");
    auto* clear = plainButton(this, QStringLiteral("&Svuota"), "BSVUOTA");
    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();

    connect(list_, &QPushButton::clicked, this, [this] { act(&RegistersLogic::list); });
    connect(chooseOffice, &QPushButton::clicked, this, [this] { act(&RegistersLogic::chooseOffice); });
    connect(newOffice, &QPushButton::clicked, this, [this] { act(&RegistersLogic::addOffice); });
    bindLookupKeys("LE1", chooseOffice, newOffice);
    connect(clear, &QPushButton::clicked, this, [this] { act(&RegistersLogic::clear); });
    connect(delete_, &QPushButton::clicked, this, [this] { act(&RegistersLogic::remove); });
    // Only a choice of the user rebuilds the list; a register shown by the logic has its own ticks.
    connect(type, &QComboBox::activated, this, [this] { act(&RegistersLogic::typeChosen); });
    connect(products_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        form_.setProductChecked(static_cast<std::size_t>(products_->row(item)), item->checkState() == Qt::Checked);
    });

    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    int row = 0;
    auto* protocolRow = new QHBoxLayout;
    protocolRow->addWidget(le0);
    protocolRow->addWidget(list_);
    protocolRow->addSpacing(20);
    protocolRow->addWidget(loaded_);
    protocolRow->addStretch();
    grid->addWidget(label(this, QStringLiteral("N. del Protocollo"), le0), row, 0);
    grid->addLayout(protocolRow, row++, 1);

    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(r10);
    dateRow->addSpacing(20);
    dateRow->addWidget(label(this, QStringLiteral("Registro valido dal"), r11));
    dateRow->addWidget(r11);
    dateRow->addWidget(label(this, QStringLiteral("al"), r12));
    dateRow->addWidget(r12);
    dateRow->addStretch();
    grid->addWidget(label(this, QStringLiteral("Data del Protocollo"), r10), row, 0);
    grid->addLayout(dateRow, row++, 1);

    grid->addWidget(label(this, QStringLiteral("Tipo di registro"), type), row, 0);
    grid->addWidget(type, row++, 1, Qt::AlignLeft);

    auto* officeRow = new QHBoxLayout;
    officeRow->addWidget(le1);
    officeRow->addWidget(chooseOffice);
    officeRow->addWidget(newOffice);
    officeRow->addWidget(dle1, 1);
    grid->addWidget(label(this, QStringLiteral("Ufficio Dogana"), le1), row, 0);
    grid->addLayout(officeRow, row++, 1);

    grid->addWidget(label(this, QStringLiteral("Titolo del registro"), le2), row, 0);
    grid->addWidget(le2, row++, 1);
    grid->addWidget(
        label(this, QStringLiteral("Dati dell'ufficio vidimante da riportare nella stampa del registro  (max 200)"), le3),
        row++, 0, 1, 2);
    grid->addWidget(le3, row++, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(delete_);
    buttons->addWidget(clear);
    buttons->addStretch();
    buttons->addWidget(confirm);
    buttons->addWidget(abandon);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(label(this, QStringLiteral("Seleziona i prodotti associati al registro"), products_));
    layout->addWidget(products_, 1);
    layout->addLayout(buttons);

    finishSetup(confirm, abandon);
    resize(760, 540);
}

RegistersDialog::~RegistersDialog() {
    // The logic goes first: the list must not report a change to it while it is destroyed.
    disconnect(products_, nullptr, this, nullptr);
}

void RegistersDialog::valuesShown() {
    const bool loaded = form_.registerLoaded();
    loaded_->setVisible(loaded);
    delete_->setVisible(loaded);
    list_->setVisible(!loaded);

    const QSignalBlocker blocker(products_);
    const auto& items = form_.productItems();
    bool same = products_->count() == static_cast<int>(items.size());
    for (int i = 0; same && i < products_->count(); ++i)
        same = products_->item(i)->text() == QString::fromStdString(items[static_cast<std::size_t>(i)]);
    if (!same) {
        products_->clear();
        for (const std::string& text : items) {
            auto* item = new QListWidgetItem(QString::fromStdString(text), products_);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        }
    }
    for (int i = 0; i < products_->count(); ++i)
        products_->item(i)->setCheckState(form_.productChecked(static_cast<std::size_t>(i)) ? Qt::Checked
                                                                                             : Qt::Unchecked);
}

void RegistersDialog::act(std::string (RegistersLogic::*action)()) {
    runAction([this, action]() -> std::optional<std::string> { return (form_.*action)(); });
}

} // namespace accise
