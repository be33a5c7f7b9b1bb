#include "qt/movements/movemententrydialog.h"

#include <algorithm>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/framework/formwidgets.h"

namespace accise {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

} // namespace

MovementEntryDialog::MovementEntryDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                         const WindowRegistry& registry, QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    form_.setWindowOpener([&registry](std::string_view name, CommandContext& c) { return registry.run(name, c); });
    form_.setPictureCheck(isReadablePicture);

    std::map<std::string, QLineEdit*> edits;
    for (const FieldSpec& f : form_.fields()) {
        QLineEdit* edit = lineEdit(this, f.control.c_str());
        if (f.control.rfind("DOUBL", 0) == 0 || f.control.rfind("INTER", 0) == 0) edit->setAlignment(Qt::AlignRight);
        edits[f.control] = edit;
    }
    edits["ANNOTA"]->setMinimumWidth(widthForChars(edits["ANNOTA"], 60));
    for (const char* description : {"DTIPDOC", "DPRODAZ", "DPRODDO", "DCAUMOV", "DPOSFIS", "DCODPAE", "DMITDES"})
        edits[description]->setMinimumWidth(widthForChars(edits[description], 36));

    auto* grid = new QGridLayout;
    grid->setColumnStretch(2, 1);
    int row = 0;
    // One row: caption, field, then buttons and the description beside it.
    const auto addRow = [&](const char* control, const char* captionName, const QString& caption,
                            std::vector<QWidget*> beside = {}) {
        QLineEdit* edit = edits.at(control);
        QLabel* captionLabel = label(this, caption, edit);
        captionLabel->setObjectName(QString::fromLatin1(captionName));
        labels_[captionName] = captionLabel;
        auto* line = new QHBoxLayout;
        line->addWidget(edit);
        for (QWidget* w : beside) line->addWidget(w, qobject_cast<QLineEdit*>(w) ? 1 : 0);
        if (beside.empty() || !qobject_cast<QLineEdit*>(beside.back())) line->addStretch();
        grid->addWidget(captionLabel, row, 0);
        grid->addLayout(line, row++, 1, 1, 2);
        std::vector<QWidget*> shown{captionLabel, edit};
        shown.insert(shown.end(), beside.begin(), beside.end());
        rows_[control] = shown;
    };
    const auto lookupButton = [&](const char* control) {
        auto* b = makeSideButton(QStringLiteral("."), QStringLiteral("mostra la tabella"),
                                 QStringLiteral("B") + QString::fromLatin1(control));
        b->setEnabled(services.hasLookupList());
        const std::string name = control;
        connect(b, &QPushButton::clicked, this, [this, name] { runAction([this, name] { return form_.lookup(name); }); });
        bindLookupKeys(name, b);
        return b;
    };
    const auto newButton = [&](const char* control, bool enabled) {
        auto* b = makeSideButton(QStringLiteral("..."), QStringLiteral("Inserisce Nuovo Codice"),
                                 QStringLiteral("BNUOVO") + QString::fromLatin1(control));
        b->setEnabled(enabled);
        const std::string name = control;
        connect(b, &QPushButton::clicked, this, [this, name] { runAction([this, name] { return form_.addNew(name); }); });
        bindLookupKeys(name, nullptr, b);
        return b;
    };
    const bool editor = services.hasCodeEditor();

    auto* title = namedLabel(this, "LTITOLO");
    title->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
    auto* movement = namedLabel(this, "LMOVIMENTO");
    QFont big = movement->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    movement->setFont(big);
    labels_["LTITOLO"] = title;
    labels_["LMOVIMENTO"] = movement;
    for (const char* name : {"LTIPOREGISTRO", "LPROTOCOLLO", "LMAX"}) labels_[name] = namedLabel(this, name);
    labels_["LMAX"]->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));

    addRow("TIPMOV", "LTIPMOV", QStringLiteral("Carico / Scarico ?  C/S"));
    addRow("DATMOV", "LDATMOV", QStringLiteral("Data carico"));
    addRow("TIPDOC", "LTIPDOC", QStringLiteral("Tipo documento"),
           {lookupButton("TIPDOC"), newButton("TIPDOC", editor), edits["DTIPDOC"]});
    addRow("DATDOC", "LDATDOC", QStringLiteral("Data documento"));
    addRow("NUMDOC", "LNUMDOC", QStringLiteral("Numero documento"));
    addRow("NPRDAA", "LNPRDAA", QStringLiteral("N° pr. eAD di rif."));
    addRow("DOCCUM", "LDOCCUM", QStringLiteral("N° dell'eAD cumulativo, del \nDAS collettivo o del X-E"));
    addRow("NILODD", "LNILODD", QStringLiteral("N° id. locale del draft eAD"));
    addRow("NUMCPR", "LNUMCPR", QStringLiteral("Progressivo dettagli eAD"));
    addRow("PRODAZ", "LPRODAZ", QStringLiteral("Codice Aziendale Prodotto"),
           {lookupButton("PRODAZ"), newButton("PRODAZ", true), edits["DPRODAZ"]});
    addRow("PRODDO", "LPRODDO", QStringLiteral("Codice Tabella Alcoli "), {lookupButton("PRODDO"), edits["DPRODDO"]});
    addRow("TIPSTO", "LTIPSTO", QStringLiteral("Sfuso o coNdizionato ? S/N"), {edits["DTIPSTO"]});
    addRow("DOUBL5", "LDOUBL5", QStringLiteral("Grado plato"));
    addRow("CAUMOV", "LCAUMOV", QStringLiteral("Causale movimento"),
           {lookupButton("CAUMOV"), newButton("CAUMOV", editor), edits["DCAUMOV"]});
    addRow("INTER3", "LINTER3", QStringLiteral("Numero delle confezioni "));
    addRow("DOUBL6", "LDOUBL6", QStringLiteral("Quantità unitaria per confezione"));
    edits["DOUBL6"]->setToolTip(QStringLiteral("Max 999,99999"));
    addRow("DOUBL1_3", "LDOUBL1_3", QStringLiteral("Totale quantità"), {labels_["LMAX"]});
    addRow("INTER1", "LINTER1", QStringLiteral("Lettura iniziale contalitri"));
    addRow("INTER2", "LINTER2", QStringLiteral("Lettura finale contalitri"));
    addRow("POSFIS", "LPOSFIS", QStringLiteral("Posizione fiscale"), {lookupButton("POSFIS"), edits["DPOSFIS"]});
    addRow("DOUBL7", "LDOUBL7", QStringLiteral("Accisa"));
    addRow("CODPAE", "LCODPAE", QStringLiteral("Paese di provenienza"),
           {lookupButton("CODPAE"), newButton("CODPAE", editor), edits["DCODPAE"]});
    addRow("MITDES", "LMITDES", QStringLiteral("Mittente"),
           {lookupButton("MITDES"), newButton("MITDES", true), edits["DMITDES"]});
    addRow("ANNOTA", "LANNOTA", QStringLiteral("Note (max 250)"));
    addRow("DOUBL2", "LDOUBL2", QStringLiteral("Totale ettogradi"));
    addRow("DOUBL8", "LDOUBL8", QStringLiteral("Garanzia impegnata"));

    photo_ = new ProductPhoto(this);

    auto* head = new QHBoxLayout;
    head->addWidget(movement);
    head->addSpacing(20);
    head->addWidget(title, 1);
    auto* registerColumn = new QWidget(this);
    for (const char* name : {"LTIPOREGISTRO", "LPROTOCOLLO"}) labels_[name]->setWordWrap(true);
    registerColumn->setFixedWidth(widthForChars(registerColumn, 34));
    auto* registerBox = new QVBoxLayout(registerColumn);
    registerBox->setContentsMargins(0, 0, 0, 0);
    registerBox->addWidget(labels_["LTIPOREGISTRO"]);
    registerBox->addWidget(labels_["LPROTOCOLLO"]);
    registerBox->addWidget(photo_);
    registerBox->addStretch();

    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();
    QHBoxLayout* buttons = confirmRow(confirm, abandon);

    auto* body = new QHBoxLayout;
    body->addLayout(grid, 1);
    body->addWidget(registerColumn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(body);
    layout->addLayout(buttons);

    setAutoFillBackground(true);
    finishSetup(confirm, abandon);
    keepLayoutFixed();
    form_.setViewChanged([this] { refreshView(); });
    refreshView();
}

void MovementEntryDialog::keepLayoutFixed() {
    // A row the layout rules hide keeps its place, so nothing moves while the clerk types.
    for (const auto& [control, widgets] : rows_)
        for (QWidget* w : widgets) {
            QSizePolicy policy = w->sizePolicy();
            policy.setRetainSizeWhenHidden(true);
            w->setSizePolicy(policy);
        }
    QSizePolicy stock = labels_["LMAX"]->sizePolicy();
    stock.setRetainSizeWhenHidden(true);
    labels_["LMAX"]->setSizePolicy(stock);
    labels_["LMAX"]->setMinimumWidth(widthForChars(labels_["LMAX"], 36));
    // The captions and titles that change are as wide as their widest text from the start.
    const auto widest = [](QLabel* label, std::initializer_list<const char*> texts) {
        const QFontMetrics metrics(label->font());
        int width = 0;
        for (const char* text : texts) width = std::max(width, metrics.horizontalAdvance(QString::fromUtf8(text)));
        label->setMinimumWidth(width + 4);
    };
    widest(labels_["LDATMOV"], {"Data carico", "Data scarico"});
    widest(labels_["LMITDES"], {"Mittente", "Destinatario"});
    widest(labels_["LCODPAE"], {"Paese di provenienza", "Paese di destinazione"});
    widest(labels_["LDOUBL1_3"], {movementtexts::kTotalQuantity, movementtexts::kTotalLitres, movementtexts::kTotalKilograms});
    widest(labels_["LDOUBL7"], {movementtexts::kExcise, movementtexts::kExciseDeclared, movementtexts::kExciseSuspended});
    widest(labels_["LMOVIMENTO"], {"CARICO", "SCARICO"});
    widest(labels_["LTITOLO"], {movemententry::kCancelTitle, movemententry::kModifyTitle});
    // Sized once for its widest state: every row shown, the longest captions.
    setFixedSize(sizeHint());
}

QLabel* MovementEntryDialog::labelOf(const std::string& name) const {
    const auto it = labels_.find(name);
    return it == labels_.end() ? nullptr : it->second;
}

void MovementEntryDialog::typeSample(const std::map<std::string, std::string>& values) {
    runAction([&]() -> std::optional<std::string> {
        for (const FieldSpec& f : form_.fields())
            if (!f.readOnly) form_.setValue(f.control, "");
        form_.setValue("CODPAE", "IT");
        if (const auto back = form_.typeFields(values)) return back;
        return std::string("BCONF");
    });
}

void MovementEntryDialog::refreshView() {
    const MovementLayout& l = form_.layout();
    setWindowTitle(q(form_.title()));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, l.colour ? QColor(l.colour->red, l.colour->green, l.colour->blue)
                                                : QColor(Qt::white).darker(105));
    setPalette(palette);

    const QString colour = l.labelsGreen ? QStringLiteral("color: #008000") : QStringLiteral("color: #c00000");
    labels_["LMOVIMENTO"]->setText(q(l.movementLabel));
    labels_["LMOVIMENTO"]->setStyleSheet(colour);
    labels_["LDATMOV"]->setText(q(l.dateLabel));
    labels_["LDATMOV"]->setStyleSheet(l.kind == MovementKind::None ? QString() : colour);
    labels_["LMITDES"]->setText(q(l.partnerLabel));
    labels_["LCODPAE"]->setText(q(l.countryLabel));
    labels_["LDOUBL1_3"]->setText(q(l.totalLabel));
    labels_["LDOUBL7"]->setText(q(l.exciseLabel));
    labels_["LTITOLO"]->setText(q(form_.correctionTitle()));
    labels_["LTIPOREGISTRO"]->setText(q(form_.registerTypeText()));
    labels_["LPROTOCOLLO"]->setText(q(form_.protocolText()));
    labels_["LMAX"]->setText(q(form_.stockText()));
    labels_["LMAX"]->setVisible(l.stockShown && !form_.stockText().empty());

    for (const auto& [control, widgets] : rows_) {
        const bool visible = form_.shown(control);
        for (QWidget* w : widgets)
            if (w != labels_["LMAX"]) w->setVisible(visible);
    }
    for (const FieldSpec& f : form_.fields()) {
        // A description shows its beginning.
        if (f.readOnly) {
            if (auto* edit = qobject_cast<QLineEdit*>(control(f.control))) edit->setCursorPosition(0);
            continue;
        }
        if (auto* edit = qobject_cast<QLineEdit*>(control(f.control))) edit->setReadOnly(!form_.editable(f.control));
    }
    photo_->showFile(form_.photoFile().string());
}

void registerMovementWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services) {
    const auto open = [parent, &prompt, &services, &registry](CommandContext& ctx) {
        MovementEntryDialog(ctx, prompt, services, registry, parent).run();
    };
    registry.add(movemententry::kInsertCommand, open);
    registry.add(movemententry::kWindow, open);
    // A record found by a search, shown read only: no confirm button.
    registry.add(movemententry::kViewWindow, [parent, &prompt, &services, &registry](CommandContext& ctx) {
        MovementEntryDialog dialog(ctx, prompt, services, registry, parent);
        dialog.form().setSelectedRecord(ctx.selectedRecord);
        dialog.form().setViewOnly(true);
        if (QWidget* confirm = dialog.findChild<QWidget*>(QString::fromUtf8(kConfirmControl.data(),
                                                                            static_cast<int>(kConfirmControl.size()))))
            confirm->hide();
        dialog.run();
    });
}

} // namespace accise
