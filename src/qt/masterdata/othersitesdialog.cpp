#include "qt/masterdata/othersitesdialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
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

OtherSitesDialog::OtherSitesDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    setObjectName(QStringLiteral("TFALTRESEDI"));
    // The company's excise code, denomination, address and city, one per line.
    auto* memo = new QPlainTextEdit(this);
    memo->setObjectName(QStringLiteral("Memo1"));
    memo->setReadOnly(true);
    memo->setFocusPolicy(Qt::NoFocus);
    memo->setFixedHeight(memo->fontMetrics().lineSpacing() * 4 + 14);

    auto* sede = lineEdit(this, "SEDE");
    auto* cacci2 = lineEdit(this, "CACCI2");
    cacci2->setToolTip(QStringLiteral(
        "Se Deposito Fiscale indicare il Codice d'Accisa, se Speditore Autorizzato digitare la partita iva"));
    auto* denom2 = lineEdit(this, "DENOM2");
    auto* indir2 = lineEdit(this, "INDIR2");
    auto* numci2 = lineEdit(this, "NUMCI2");
    auto* cap2 = lineEdit(this, "C_A_P2");
    auto* citta2 = lineEdit(this, "CITTA2");
    auto* uffdo1 = lineEdit(this, "UFFDO1");
    auto* duffdog = lineEdit(this, "DUFFDOG");
    auto* sezdog = lineEdit(this, "SEZDOG");
    auto* uffdo2 = lineEdit(this, "UFFDO2");

    auto* chooseOffice = makeSideButton(QStringLiteral("..."), QStringLiteral("mostra la tabella"), QStringLiteral("BUFFDO1"));
    auto* newOffice =
        makeSideButton(QStringLiteral("..."), QStringLiteral("Inserisce Nuovo Codice"), QStringLiteral("BNUOVOUFFDO1"));
    chooseOffice->setEnabled(services.hasLookupList());
    newOffice->setEnabled(services.hasCodeEditor());
    connect(chooseOffice, &QPushButton::clicked, this, [this] { runAction([this] { return form_.chooseOffice(); }); });
    connect(newOffice, &QPushButton::clicked, this, [this] { runAction([this] { return form_.addOffice(); }); });
    bindLookupKeys("UFFDO1", chooseOffice, newOffice);
    auto* europa = new QPushButton(QStringLiteral("EC.EUROPA.EU"), this);
    europa->setObjectName(QStringLiteral("BEUROPA"));
    europa->setFocusPolicy(Qt::NoFocus);
    europa->setAutoDefault(false);
    connect(europa, &QPushButton::clicked, this, [this] {
        runAction([this]() -> std::optional<std::string> {
            form_.openEuropa();
            return std::nullopt;
        });
    });

    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    int row = 0;
    addRow(grid, row++, 0, QStringLiteral("n° della Sede Autorizzata (da 002 a 999)"), sede);
    addRow(grid, row++, 0, QStringLiteral("Codice d'Accisa"), cacci2);
    grid->addWidget(label(this, QStringLiteral("Denominazione"), denom2), row, 0);
    grid->addWidget(denom2, row++, 1, 1, 3);
    grid->addWidget(label(this, QStringLiteral("Indirizzo"), indir2), row, 0);
    grid->addWidget(indir2, row++, 1, 1, 3);
    addRow(grid, row, 0, QStringLiteral("Numero civico"), numci2);
    addRow(grid, row++, 2, QStringLiteral("C.A.P."), cap2);
    grid->addWidget(label(this, QStringLiteral("Città"), citta2), row, 0);
    grid->addWidget(citta2, row++, 1, 1, 3);

    auto* officeRow = new QHBoxLayout;
    officeRow->addWidget(uffdo1);
    officeRow->addWidget(chooseOffice);
    officeRow->addWidget(newOffice);
    officeRow->addWidget(duffdog, 1);
    grid->addWidget(label(this, QStringLiteral("Ufficio Dogana"), uffdo1), row, 0);
    grid->addLayout(officeRow, row++, 1, 1, 3);
    addRow(grid, row++, 0, QStringLiteral("Sezione Dogana"), sezdog);
    auto* exportRow = new QHBoxLayout;
    exportRow->addWidget(uffdo2);
    exportRow->addStretch();
    exportRow->addWidget(europa);
    grid->addWidget(label(this, QStringLiteral("Ufficio Dogana per le esportazioni"), uffdo2), row, 0);
    grid->addLayout(exportRow, row++, 1, 1, 3);

    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();
    QHBoxLayout* buttons = confirmRow(confirm, abandon);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memo);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    finishSetup(confirm, abandon);
}

} // namespace accise
