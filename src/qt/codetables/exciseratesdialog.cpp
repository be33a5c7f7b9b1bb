#include "qt/codetables/exciseratesdialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/framework/formwidgets.h"

namespace accise {

ExciseRatesDialog::ExciseRatesDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    setObjectName(QStringLiteral("TFTABACCISE"));
    auto* r10 = lineEdit(this, "R10");
    country_ = lineEdit(this, "Le0");
    auto* dle0 = lineEdit(this, "DLE0");
    chapter_ = lineEdit(this, "LE1");
    auto* r11 = lineEdit(this, "R11");
    r11->setAlignment(Qt::AlignRight);

    auto* chooseCountry =
        makeSideButton(QStringLiteral("..."), QStringLiteral("mostra la tabella"), QStringLiteral("BLE0"));
    chooseCountry->setEnabled(services.hasLookupList());
    list_ = plainButton(this, QStringLiteral("Mostra / Richiama"), "BELENCA");
    list_->setEnabled(services.hasLookupList());
    web_ = plainButton(this, QString(), "BWEB");
    loaded_ = new QLabel(QString::fromUtf8(exciserates::kLoadedLabel), this);
    loaded_->setObjectName(QStringLiteral("LMODCANC"));
    QFont bold = loaded_->font();
    bold.setBold(true);
    loaded_->setFont(bold);
    loaded_->setStyleSheet(QStringLiteral("color: #b00000;"));

    delete_ = plainButton(this, QStringLiteral("Cance&lla"), "BCANCELLA");
    auto* clear = plainButton(this, QStringLiteral("&Svuota"), "BSVUOTA");
    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();

    connect(chooseCountry, &QPushButton::clicked, this, [this] { act(&ExciseRatesLogic::chooseCountry); });
    bindLookupKeys("Le0", chooseCountry);
    connect(list_, &QPushButton::clicked, this, [this] { act(&ExciseRatesLogic::list); });
    connect(clear, &QPushButton::clicked, this, [this] { act(&ExciseRatesLogic::clear); });
    connect(delete_, &QPushButton::clicked, this, [this] { act(&ExciseRatesLogic::remove); });
    connect(web_, &QPushButton::clicked, this, [this] {
        runAction([this]() -> std::optional<std::string> {
            form_.openWeb();
            return std::nullopt;
        });
    });
    // The chapter appears as soon as the country reads "IT", so that Enter reaches it.
    connect(country_, &QLineEdit::textChanged, this, [this] { showChapter(); });

    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    int row = 0;
    grid->addWidget(label(this, QStringLiteral("Dalla data"), r10), row, 0);
    grid->addWidget(r10, row++, 1, Qt::AlignLeft);
    auto* countryRow = new QHBoxLayout;
    countryRow->addWidget(country_);
    countryRow->addWidget(chooseCountry);
    countryRow->addWidget(dle0, 1);
    grid->addWidget(label(this, QStringLiteral("Nazione"), country_), row, 0);
    grid->addLayout(countryRow, row++, 1);
    chapterLabel_ = label(this, QStringLiteral("Capitolo"), chapter_);
    grid->addWidget(chapterLabel_, row, 0);
    grid->addWidget(chapter_, row++, 1, Qt::AlignLeft);
    grid->addWidget(label(this, QStringLiteral("Importo dell'accisa su Hlg"), r11), row, 0);
    grid->addWidget(r11, row++, 1, Qt::AlignLeft);

    auto* stateRow = new QHBoxLayout;
    stateRow->addWidget(loaded_);
    stateRow->addStretch();
    stateRow->addWidget(list_);
    auto* webRow = new QHBoxLayout;
    webRow->addStretch();
    webRow->addWidget(web_);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(delete_);
    buttons->addWidget(clear);
    buttons->addStretch();
    buttons->addWidget(confirm);
    buttons->addWidget(abandon);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(stateRow);
    layout->addStretch();
    layout->addLayout(webRow);
    layout->addLayout(buttons);

    finishSetup(confirm, abandon);
    dle0->setMinimumWidth(widthForChars(dle0, 30));
    resize(560, 300);
}

void ExciseRatesDialog::showChapter() {
    const bool shown = ExciseRatesLogic::chapterShownFor(country_->text().toStdString());
    chapter_->setVisible(shown);
    chapterLabel_->setVisible(shown);
}

void ExciseRatesDialog::valuesShown() {
    // An address may hold "&", which a caption would take for a shortcut mark.
    web_->setText(QString::fromStdString(form_.webCaption()).replace(QLatin1Char('&'), QStringLiteral("&&")));
    const bool loaded = form_.rowLoaded();
    loaded_->setVisible(loaded);
    delete_->setVisible(loaded);
    list_->setVisible(!loaded);
    showChapter();
}

void ExciseRatesDialog::act(std::string (ExciseRatesLogic::*action)()) {
    runAction([this, action]() -> std::optional<std::string> { return (form_.*action)(); });
}

} // namespace accise
