#include "qt/masterdata/companydatadialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "qt/framework/formwidgets.h"

namespace accise {

namespace {

// A field row of the grid: label in `col`, the field left-aligned beside it.
void addRow(QGridLayout* grid, int row, int col, const QString& caption, QWidget* field, int span = 1) {
    grid->addWidget(label(grid->parentWidget(), caption, field), row, col);
    grid->addWidget(field, row, col + 1, 1, span, Qt::AlignLeft);
}

} // namespace

CompanyDataDialog::CompanyDataDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                     QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    auto* authorisation = new QGroupBox(QStringLiteral("Tipo di Autorizzazione"), this);
    authorisation->setObjectName(QStringLiteral("RTIPOIN"));
    auto* authLayout = new QHBoxLayout(authorisation);
    for (const char* item : companydata::kAuthorisationItems) {
        auto* radio = new QRadioButton(QString::fromUtf8(item), authorisation);
        authLayout->addWidget(radio);
        connect(radio, &QRadioButton::clicked, this,
                [this] { runAction([this] { return form_.authorisationChosen(); }); });
    }
    authLayout->addStretch();

    auto* cacci1 = lineEdit(this, "CACCI1");
    auto* profile = new QComboBox(this);
    profile->setObjectName(QStringLiteral("CAP2"));
    for (const char* item : companydata::kProfileItems)
        profile->addItem(QString::fromUtf8(item));
    auto* denom1 = lineEdit(this, "DENOM1");
    auto* pariva = lineEdit(this, "PARIVA");
    auto* codfis = lineEdit(this, "CODFIS");
    auto* indir1 = lineEdit(this, "INDIR1");
    auto* numci1 = lineEdit(this, "NUMCI1");
    auto* cap1 = lineEdit(this, "C_A_P1");
    auto* citta1 = lineEdit(this, "CITTA1");
    auto* codute = lineEdit(this, "CODUTE");
    codute->setToolTip(QStringLiteral("Digitare il codice attribuito dal Sistema Telematico Doganale"));
    auto* uffdo1 = lineEdit(this, "UFFDO1");
    auto* duffdog = lineEdit(this, "DUFFDOG");
    auto* sezdog = lineEdit(this, "SEZDOG");
    auto* congar = lineEdit(this, "CONGAR");
    auto* caueso = lineEdit(this, "CAUESO");
    auto* uffdo2 = lineEdit(this, "UFFDO2");

    auto* chooseOffice =
        makeSideButton(QStringLiteral("..."), QStringLiteral("mostra la tabella"), QStringLiteral("BUFFDO1"));
    auto* newOffice = makeSideButton(QStringLiteral("..."), QStringLiteral("Inserisce Nuovo Codice"),
                                     QStringLiteral("BNUOVOUFFDO1"));
    chooseOffice->setEnabled(services.hasLookupList());
    newOffice->setEnabled(services.hasCodeEditor());
    connect(chooseOffice, &QPushButton::clicked, this,
            [this] { runAction([this] { return form_.chooseOffice(); }); });
    connect(newOffice, &QPushButton::clicked, this,
            [this] { runAction([this] { return form_.addOffice(); }); });
    bindLookupKeys("UFFDO1", chooseOffice, newOffice);

    auto* seed = new QPushButton(QStringLiteral("Banca Dati SEED"), this);
    seed->setObjectName(QStringLiteral("BSEED"));
    auto* europa = new QPushButton(QStringLiteral("EC.EUROPA.EU"), this);
    europa->setObjectName(QStringLiteral("BEUROPA"));
    for (QPushButton* b : {seed, europa}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
    }
    connect(seed, &QPushButton::clicked, this, [this] {
        runAction([this] {
            form_.openSeed();
            return std::nullopt;
        });
    });
    connect(europa, &QPushButton::clicked, this, [this] {
        runAction([this] {
            form_.openEuropa();
            return std::nullopt;
        });
    });

    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    int row = 0;
    addRow(grid, row, 0, QStringLiteral("Codice d'Accisa"), cacci1);
    addRow(grid, row++, 2, QStringLiteral("Profilo"), profile);
    grid->addWidget(label(this, QStringLiteral("Denominazione"), denom1), row, 0);
    grid->addWidget(denom1, row++, 1, 1, 3);
    addRow(grid, row, 0, QStringLiteral("Partita I.V.A."), pariva);
    addRow(grid, row++, 2, QStringLiteral("Codice Fiscale"), codfis);
    grid->addWidget(label(this, QStringLiteral("Indirizzo"), indir1), row, 0);
    grid->addWidget(indir1, row++, 1, 1, 3);
    addRow(grid, row, 0, QStringLiteral("Numero civico"), numci1);
    addRow(grid, row++, 2, QStringLiteral("C.A.P."), cap1);
    grid->addWidget(label(this, QStringLiteral("Città"), citta1), row, 0);
    grid->addWidget(citta1, row++, 1, 1, 3);
    addRow(grid, row++, 0, QStringLiteral("Codice Utente"), codute);

    auto* officeRow = new QHBoxLayout;
    officeRow->addWidget(uffdo1);
    officeRow->addWidget(chooseOffice);
    officeRow->addWidget(newOffice);
    officeRow->addWidget(duffdog, 1);
    grid->addWidget(label(this, QStringLiteral("Ufficio Dogana"), uffdo1), row, 0);
    grid->addLayout(officeRow, row++, 1, 1, 3);
    addRow(grid, row++, 0, QStringLiteral("Sezione Dogana"), sezdog);
    addRow(grid, row, 0, QStringLiteral("Codice Conto garanzia"), congar);
    addRow(grid, row++, 2, QStringLiteral("Cauzione / Esonero ? C/E"), caueso);

    auto* exportRow = new QHBoxLayout;
    exportRow->addWidget(uffdo2);
    exportRow->addStretch();
    exportRow->addWidget(seed);
    exportRow->addWidget(europa);
    grid->addWidget(
        label(this,
              QStringLiteral("Ufficio Dogana abilitato alle esportazioni (verifica nella banca dati WEB)"),
              uffdo2),
        row++, 0, 1, 4);
    grid->addLayout(exportRow, row++, 0, 1, 4);

    auto* edi = new QGroupBox(
        QStringLiteral("Credenziali di accesso all'ambiente EDI dell'Agenzia delle Dogane"), this);
    auto* indir2 = lineEdit(edi, "INDIR2");
    auto* citta2 = lineEdit(edi, "CITTA2");
    auto* ediGrid = new QGridLayout(edi);
    ediGrid->setColumnStretch(1, 1);
    ediGrid->setColumnStretch(3, 1);
    addRow(ediGrid, 0, 0, QStringLiteral("Nome utente"), indir2);
    auto* passwordRow = new QHBoxLayout;
    passwordRow->addWidget(citta2);
    passwordRow->addWidget(showWhileHeldButton(edi, citta2, "BMOSTRAPWD"));
    ediGrid->addWidget(label(edi, QStringLiteral("Password delle applicazioni"), citta2), 0, 2);
    ediGrid->addLayout(passwordRow, 0, 3, Qt::AlignLeft);

    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();
    QHBoxLayout* buttons = confirmRow(confirm, abandon);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(authorisation);
    layout->addLayout(grid);
    layout->addWidget(edi);
    layout->addStretch();
    layout->addLayout(buttons);

    finishSetup(confirm, abandon);
}

} // namespace accise
