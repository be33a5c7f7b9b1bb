#include "qt/masterdata/addressentrydialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "qt/framework/formwidgets.h"

namespace accise {

AddressEntryDialog::AddressEntryDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    build(services);
}

AddressEntryDialog::AddressEntryDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                       AddressRecord found, QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services, std::move(found)) {
    build(services);
}

void AddressEntryDialog::build(FormServices& services) {
    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    auto field = [this](const char* name, const QString& caption) {
        auto* line = lineEdit(this, name);
        auto* label = new QLabel(caption, this);
        label->setBuddy(line);
        labels_[name] = label;
        return std::pair{label, line};
    };
    auto addPair = [grid](int row, int col, std::pair<QLabel*, QLineEdit*> f, int span = 1) {
        grid->addWidget(f.first, row, col);
        grid->addWidget(f.second, row, col + 1, 1, span, Qt::AlignLeft);
    };
    auto addWide = [grid](int row, std::pair<QLabel*, QLineEdit*> f) {
        grid->addWidget(f.first, row, 0);
        grid->addWidget(f.second, row, 1, 1, 3);
    };

    int row = 0;
    addPair(row, 0, field("CACCI2", QStringLiteral("Partita IVA")));
    addPair(row++, 2, field("CACCI1", QStringLiteral("Codice d'Accisa")));
    addWide(row++, field("DENOM1", QStringLiteral("Denominazione")));
    addWide(row++, field("INDIR1", QStringLiteral("Indirizzo")));
    addPair(row, 0, field("NUMCI1", QStringLiteral("N° civico")));
    addPair(row++, 2, field("C_A_P1", QStringLiteral("C.A.P.")));
    addWide(row++, field("CITTA1", QStringLiteral("Città")));

    const auto language = field("SEZDOG", QStringLiteral("Lingua delle descrizioni"));
    auto* description = lineEdit(this, "DSEZDOG");
    auto* chooseLanguage =
        makeSideButton(QStringLiteral("..."), QStringLiteral("mostra la tabella"), QStringLiteral("BSEZDOG"));
    auto* newLanguage =
        makeSideButton(QStringLiteral("..."), QStringLiteral("Inserisce Nuovo Codice"), QStringLiteral("BNUOVOSEZDOG"));
    chooseLanguage->setEnabled(services.hasLookupList());
    newLanguage->setEnabled(services.hasCodeEditor());
    connect(chooseLanguage, &QPushButton::clicked, this, [this] { runAction([this] { return form_.chooseLanguage(); }); });
    connect(newLanguage, &QPushButton::clicked, this, [this] { runAction([this] { return form_.addLanguage(); }); });
    bindLookupKeys("SEZDOG", chooseLanguage, newLanguage);
    auto* languageRow = new QHBoxLayout;
    languageRow->addWidget(language.second);
    languageRow->addWidget(chooseLanguage);
    languageRow->addWidget(newLanguage);
    languageRow->addWidget(description, 1);
    grid->addWidget(language.first, row, 0);
    grid->addLayout(languageRow, row++, 1, 1, 3);

    addPair(row, 0, field("CONGAR", QStringLiteral("Codice Conto garanzia")));
    addPair(row++, 2, field("CAUESO", QStringLiteral("Cauzione / Esonero ? C/E")));

    auto* seed = new QPushButton(QStringLiteral("Banca Dati SEED"), this);
    seed->setObjectName(QStringLiteral("BSEED"));
    auto* registered = new QPushButton(QStringLiteral("Mostra gli Indirizzi Registrati"), this);
    registered->setObjectName(QStringLiteral("BMOSTRA"));
    registered->setEnabled(services.hasLookupList());
    for (QPushButton* b : {seed, registered}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
    }
    connect(seed, &QPushButton::clicked, this, [this] { runAction([this] { form_.openSeed(); return std::nullopt; }); });
    connect(registered, &QPushButton::clicked, this,
            [this] { runAction([this] { form_.showRegistered(); return std::nullopt; }); });
    auto* links = new QHBoxLayout;
    links->addWidget(seed);
    links->addWidget(registered);
    links->addStretch();

    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();
    QHBoxLayout* buttons = confirmRow(confirm, abandon);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(links);
    layout->addStretch();
    layout->addLayout(buttons);

    finishSetup(confirm, abandon);
    applyKind();
}

void AddressEntryDialog::applyKind() {
    setWindowTitle(QString::fromStdString(form_.title()));
    for (const auto& [control, label] : labels_) {
        const bool shown = form_.shown(control);
        label->setVisible(shown);
        if (QWidget* widget = this->control(control)) widget->setVisible(shown);
    }
}

void AddressEntryDialog::showEvent(QShowEvent* event) {
    // The book is read again when the window is shown.
    EntryDialog::showEvent(event);
    applyKind();
}

} // namespace accise
