#include "qt/movements/packagingdialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/framework/formwidgets.h"

namespace accise {

using namespace packagingwindow;

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

} // namespace

PackagingDialog::PackagingDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                 const WindowRegistry& registry, QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    setObjectName(QString::fromLatin1(kWindow.data(), static_cast<int>(kWindow.size())));
    form_.setWindowOpener([&registry](std::string_view name, CommandContext& c) { return registry.run(name, c); });
    form_.setPictureCheck(isReadablePicture);

    std::map<std::string, QLineEdit*> edits;
    for (const FieldSpec& f : form_.fields()) {
        QLineEdit* edit = lineEdit(this, f.control.c_str());
        if (f.control.rfind("DOUBL", 0) == 0 || f.control.rfind("INTER", 0) == 0 || f.control == "MCALI" ||
            f.control == "ACCISACALI")
            edit->setAlignment(Qt::AlignRight);
        edits[f.control] = edit;
    }
    edits["ANNOTA"]->setMinimumWidth(widthForChars(edits["ANNOTA"], 60));
    for (const char* description : {"DPRODAZ", "DPRODDO", "DPOSFIS"})
        edits[description]->setMinimumWidth(widthForChars(edits[description], 36));
    edits["DOUBL6"]->setToolTip(QStringLiteral("Max 999,99999"));

    const auto lookupButton = [&](const char* control) {
        auto* b = makeSideButton(QStringLiteral("."), QStringLiteral("mostra la tabella"),
                                 QStringLiteral("B") + QString::fromLatin1(control));
        b->setEnabled(services.hasLookupList());
        const std::string name = control;
        connect(b, &QPushButton::clicked, this, [this, name] { runAction([this, name] { return form_.lookup(name); }); });
        bindLookupKeys(name, b);
        return b;
    };
    auto* newProduct = makeSideButton(QStringLiteral("..."), QStringLiteral("Inserisce Nuovo Codice"),
                                      QStringLiteral("BNUOVOPRODAZ"));
    connect(newProduct, &QPushButton::clicked, this,
            [this] { runAction([this] { return form_.addNew("PRODAZ"); }); });
    bindLookupKeys("PRODAZ", nullptr, newProduct);

    auto* grid = new QGridLayout;
    grid->setColumnStretch(2, 1);
    int row = 0;
    const auto addRow = [&](const char* control, const QString& caption, std::vector<QWidget*> beside = {}) {
        QLineEdit* edit = edits.at(control);
        auto* line = new QHBoxLayout;
        line->addWidget(edit);
        for (QWidget* w : beside) line->addWidget(w, qobject_cast<QLineEdit*>(w) ? 1 : 0);
        if (beside.empty() || !qobject_cast<QLineEdit*>(beside.back())) line->addStretch();
        grid->addWidget(label(this, caption, edit), row, 0);
        grid->addLayout(line, row++, 1, 1, 2);
    };
    for (const char* name : {"LTIPOREGISTRO", "LPROTOCOLLO", "LLAVORAZIONI", "LMAX"}) labels_[name] = namedLabel(this, name);
    labels_["LMAX"]->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));

    addRow("DATMOV", QStringLiteral("Data del condizionamento"));
    addRow("NUMDOC", QStringLiteral("Numero del documento (VIA)"));
    addRow("PRODAZ", QStringLiteral("Codice Aziendale Prodotto"), {lookupButton("PRODAZ"), newProduct, edits["DPRODAZ"]});
    addRow("PRODDO", QStringLiteral("Codice Tabella Alcoli "), {lookupButton("PRODDO"), edits["DPRODDO"]});
    addRow("DOUBL5", QStringLiteral("Grado plato"));
    addRow("INTER3", QStringLiteral("Numero delle confezioni"));
    addRow("DOUBL6", QStringLiteral("Quantità unitaria per confezione"));
    addRow("DOUBL1_3", QStringLiteral("Totale litri"), {labels_["LMAX"]});
    addRow("DOUBL2", QStringLiteral("Totale ettogradi"));
    addRow("DOUBL7", QStringLiteral("Accisa"));
    auto* lossesTitle = new QLabel(QStringLiteral("Scarico di eventuali cali di lavorazione nei limiti ammessi"), this);
    QFont bold = lossesTitle->font();
    bold.setBold(true);
    lossesTitle->setFont(bold);
    grid->addWidget(lossesTitle, row++, 0, 1, 3);
    addRow("MCALI", QStringLiteral("Cali di lavorazione :"));
    addRow("POSFIS", QStringLiteral("Posizione fiscale"), {lookupButton("POSFIS"), edits["DPOSFIS"]});
    addRow("ACCISACALI", QStringLiteral("Accisa"));
    addRow("ANNOTA", QStringLiteral("Note (max 250)"));

    photo_ = new ProductPhoto(this);
    auto* registerBox = new QVBoxLayout;
    auto* packagedTitle = new QLabel(QStringLiteral("Registro:"), this);
    packagedTitle->setFont(bold);
    registerBox->addWidget(packagedTitle);
    registerBox->addWidget(labels_["LTIPOREGISTRO"]);
    registerBox->addWidget(labels_["LPROTOCOLLO"]);
    registerBox->addSpacing(12);
    auto* inProcessTitle = new QLabel(QStringLiteral("Registro: delle lavorazioni"), this);
    inProcessTitle->setFont(bold);
    registerBox->addWidget(inProcessTitle);
    registerBox->addWidget(labels_["LLAVORAZIONI"]);
    registerBox->addSpacing(12);
    registerBox->addWidget(photo_);
    registerBox->addStretch();

    auto* explanation = new QLabel(QString::fromUtf8(kExplanation) + QStringLiteral("\n") +
                                       QString::fromUtf8(kExplanationLosses),
                                   this);
    explanation->setObjectName(QStringLiteral("LSPIEGAZIONE"));
    explanation->setWordWrap(true);

    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();
    QHBoxLayout* buttons = confirmRow(confirm, abandon);

    auto* body = new QHBoxLayout;
    body->addLayout(grid, 1);
    body->addSpacing(12);
    body->addLayout(registerBox);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(body);
    layout->addLayout(buttons);

    finishSetup(confirm, abandon);
    form_.setViewChanged([this] { refreshView(); });
    refreshView();
}

QLabel* PackagingDialog::labelOf(const std::string& name) const {
    const auto it = labels_.find(name);
    return it == labels_.end() ? nullptr : it->second;
}

void PackagingDialog::typeSample(const std::map<std::string, std::string>& values) {
    runAction([&]() -> std::optional<std::string> {
        if (const auto back = form_.typeFields(values)) return back;
        return std::string("BCONF");
    });
}

void PackagingDialog::refreshView() {
    setWindowTitle(q(form_.title()));
    labels_["LTIPOREGISTRO"]->setText(q(form_.registerTypeText()));
    labels_["LPROTOCOLLO"]->setText(q(form_.protocolText()));
    labels_["LLAVORAZIONI"]->setText(q(form_.inProcessText()));
    labels_["LMAX"]->setText(q(form_.maxText()));
    labels_["LMAX"]->setVisible(form_.maxShown());
    for (const FieldSpec& f : form_.fields()) {
        auto* edit = qobject_cast<QLineEdit*>(control(f.control));
        if (!edit) continue;
        edit->setReadOnly(f.readOnly);
        if (f.readOnly) edit->setCursorPosition(0); // a description shows its beginning
    }
    photo_->showFile(form_.photoFile().string());
}

void registerPackagingWindow(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services) {
    const auto open = [parent, &prompt, &services, &registry](CommandContext& ctx) {
        PackagingDialog(ctx, prompt, services, registry, parent).run();
    };
    registry.add(kCommand, open);
    registry.add(kWindow, open);
}

} // namespace accise
