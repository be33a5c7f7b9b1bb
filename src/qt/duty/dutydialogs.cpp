#include "qt/duty/dutydialogs.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace accise {
namespace {

const QString kYear = QStringLiteral("Anno di riferimento");
const QString kPeriod = QStringLiteral(
    "Periodo di riferimento (01..11 gennaio..novembre, 21 e 22 1^ e 2^ quindicina dicembre)");
const QString kChapter = QStringLiteral("Capitolo imputazione tributi");
const QString kNotes = QStringLiteral("Note (max 250):");

} // namespace

// ---- Credits ----

CreditsDialog::CreditsDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent)
    : DutyDialog(form_, "TFCREDITI", parent), form_(ctx, prompt, services) {
    addRow(kYear, makeField("ANNPRO"));
    addRow(kPeriod, makeField("CODPAE"), {makeField("DCODPAE")});
    addRow(QStringLiteral("N. protocollo del provvedimento"), makeField("PROTOC"));
    addRow(QStringLiteral("Data del provvedimento"), makeField("DATMOV"));
    chooseOffice_ = makeSideButton(QStringLiteral("..."), QStringLiteral("mostra la tabella"), QStringLiteral("BUFFDOG"));
    addOffice_ =
        makeSideButton(QStringLiteral("..."), QStringLiteral("Inserisce Nuovo Codice"), QStringLiteral("BNUFFDOG"));
    addRow(QStringLiteral("emesso dall'Ufficio doganale:"), makeField("CODUFF"),
           {chooseOffice_, addOffice_, makeField("DUFFDOG")});
    addRow(kChapter, makeField("MITDES"));
    addRow(QStringLiteral("Importo Complessivo"), makeField("DOUBL1", true));
    addRow(QStringLiteral("Importo Scontato"), makeField("DOUBL2", true));
    addRow(kNotes, makeField("ANNOTA"));
    connect(chooseOffice_, &QPushButton::clicked, this,
            [this] { runAction([this]() -> std::optional<std::string> { return form_.chooseOffice(); }); });
    connect(addOffice_, &QPushButton::clicked, this,
            [this] { runAction([this]() -> std::optional<std::string> { return form_.addOffice(); }); });
    bindLookupKeys("CODUFF", chooseOffice_, addOffice_);
    build();
}

void CreditsDialog::valuesShown() {
    DutyDialog::valuesShown();
    const bool editable = form_.isEditable("CODUFF");
    chooseOffice_->setEnabled(editable && form_.services().hasLookupList());
    addOffice_->setEnabled(editable && form_.services().hasCodeEditor());
}

// ---- Excise summary of a period ----

ExciseSummaryPeriodDialog::ExciseSummaryPeriodDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                                     QWidget* parent)
    : DutyDialog(form_, "TFACCISE_DA", parent), form_(ctx, prompt, services) {
    addRow(kYear, makeField("ANNPRO"));
    addRow(kPeriod, makeField("CODPAE"), {makeField("DCODPAE")});
    addRow(kChapter, makeField("MITDES"));
    addRow(QStringLiteral("Accisa a debito"), makeField("DOUBL1", true));
    addRow(QStringLiteral("Crediti/riaccrediti utilizzati"), makeField("DOUBL2", true));
    addRow(QStringLiteral("Storni per merci rese ad accisa assolta"), makeField("DOUBL3", true));
    addRow(QStringLiteral("Totale accisa a saldo "), makeField("DOUBL4", true));
    auto* notes = makeField("ANNOTA");
    notes_ = notes;
    addRow(kNotes, notes);
    build();
    notes->installEventFilter(this);
}

bool ExciseSummaryPeriodDialog::eventFilter(QObject* watched, QEvent* event) {
    // A record only shown keeps the total it was saved with.
    if (watched == notes_ && event->type() == QEvent::FocusIn && !form_.viewOnly()) {
        // Only the cursor moving there counts, not the window getting the focus back
        // after one of its messages.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            QTimer::singleShot(0, this, [this] {
                if (notes_->hasFocus()) runAction([this] { return form_.enterNotes(); });
            });
        }
    }
    return DutyDialog::eventFilter(watched, event);
}

// ---- Excise summary of a day ----

ExciseSummaryDayDialog::ExciseSummaryDayDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                               QWidget* parent)
    : DutyDialog(form_, "TFACCISE_PP", parent), form_(ctx, prompt, services) {
    addRow(QStringLiteral("Riepilogo del giorno:"), makeField("DATMOV"));
    addRow(kChapter, makeField("MITDES"));
    addRow(QStringLiteral("Accisa a debito"), makeField("DOUBL1", true));
    addRow(kNotes, makeField("ANNOTA"));
    build();
}

// ---- Voluntary correction ----

VoluntaryCorrectionDialog::VoluntaryCorrectionDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                                     QWidget* parent)
    : DutyDialog(form_, "TFRAVVEDIM", parent), form_(ctx, prompt, services) {
    addRow(kYear, makeField("ANNPRO"));
    addRow(kPeriod, makeField("CODPAE"), {makeField("DCODPAE")});
    addRow(QStringLiteral("Data di riferimento"), makeField("DATMOV"))->setObjectName(QStringLiteral("LDATA"));
    addRow(kChapter, makeField("MITDES"));
    addRow(QStringLiteral("Importo maggiori tributi dovuti"), makeField("DOUBL1", true));
    addRow(QStringLiteral("Sanzione minima"), makeField("DOUBL2", true));
    addRow(QStringLiteral("Percentuale di riduzione"), makeField("DOUBL3", true));
    addRow(QStringLiteral("Importo sanzione"), makeField("DOUBL4", true));
    addRow(QStringLiteral("Tasso legale"), makeField("DOUBL5", true));
    addRow(QStringLiteral("Giorni trascorsi dal termine di pagamento"), makeField("INTER1"));
    addRow(QStringLiteral("Importo interessi moratori dovuti"), makeField("DOUBL6", true));
    addRow(kNotes, makeField("ANNOTA"));
    build();
}

// ---- Guarantee ----

GuaranteeDialog::GuaranteeDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent)
    : DutyDialog(form_, "TFGARANZIE", parent), form_(ctx, prompt, services) {
    addRow(QStringLiteral("Giorno della garanzia"), makeField("DATMOV"));
    addRow(QStringLiteral("Importo impegnato"), makeField("DOUBL1", true));
    addRow(QStringLiteral("Importo svincolato"), makeField("DOUBL2", true));
    addRow(QStringLiteral("Nuovo importo"), makeField("DOUBL3", true));
    addRow(QStringLiteral("Importo scaduto"), makeField("DOUBL4", true));
    addRow(QStringLiteral("Importo residuo"), makeField("DOUBL5", true));
    addRow(kNotes, makeField("ANNOTA"));
    build();
}

} // namespace accise
