#include "qt/reportwindows/searchdialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <filesystem>
#include <memory>

#include "logic/shell/commandtable.h"
#include "logic/shell/windowregistry.h"
#include "qt/framework/formwidgets.h"
#include "qt/reportwindows/searchresultsview.h"

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

QPushButton* exportButton(QWidget* parent) {
    QPushButton* button = plainButton(parent, QStringLiteral("&Esporta..."), "BESPORTA");
    button->setToolTip(QStringLiteral("Salva i record trovati in un file CSV (nella cartella Documenti)"));
    button->hide(); // until a search has run
    return button;
}

QLabel* exportedLabel(QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(QStringLiteral("LESPORTA"));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

// The list of the records found under its caption, which Alt+R reaches; `opens` is
// what Enter on a row opens ("il movimento", "il record").
QVBoxLayout* resultsBlock(QWidget* parent, SearchResultsView* view, const QString& opens) {
    auto* caption = new QLabel(QStringLiteral("&Record trovati:"), parent);
    caption->setBuddy(view);
    view->setToolTip(QStringLiteral("Ordina per una colonna: clic sulla sua intestazione,\n"
                                    "Ctrl+1 ... Ctrl+9 (le colonne 1-9) o F3 (la colonna del cursore,\n"
                                    "scelta con Freccia sinistra/destra); di nuovo: in senso inverso.\n"
                                    "Invio o doppio clic: apre %1 in sola lettura.")
                         .arg(opens));
    auto* block = new QVBoxLayout;
    block->addWidget(caption);
    block->addWidget(view, 1);
    return block;
}

// The save dialog of "Esporta...": the proposed name in the user's documents folder.
// The path chosen, empty when the clerk gave up.
std::filesystem::path chooseExportFile(QWidget* parent, const std::string& proposed) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    QFileDialog dialog(parent, QStringLiteral("Esporta la ricerca"),
                       QDir(folder).filePath(QString::fromStdString(proposed)),
                       QStringLiteral("File CSV (*.csv);;Tutti i file (*)"));
    dialog.setObjectName(QString::fromUtf8(searchdialogs::kExportDialog));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return std::filesystem::path(dialog.selectedFiles().front().toStdU16String());
}

QHBoxLayout* buttonRow(QWidget* first, QPushButton* confirm, QPushButton* abandon, QWidget* second = nullptr) {
    auto* row = new QHBoxLayout;
    if (first) row->addWidget(first);
    if (second) row->addWidget(second);
    row->addStretch();
    row->addWidget(confirm);
    row->addWidget(abandon);
    return row;
}

// What a search window shows after every step: the file and export buttons once a
// search ran, and the list again when a new search found its records.
template <class SearchLogic>
void showSearchState(const SearchLogic& form, QWidget* open, QWidget* exportButton, SearchResultsView* results,
                     std::size_t& shownGeneration) {
    open->setVisible(form.fileButtonShown());
    exportButton->setVisible(form.canExport());
    if (form.results().generation() == shownGeneration) return;
    shownGeneration = form.results().generation();
    results->reload();
    results->resizeColumnsToContents();
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
    export_ = exportButton(this);
    results_ = new SearchResultsView(form_.results(), this);
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
    layout->addLayout(buttonRow(open_, confirm, abandon, export_));
    layout->addWidget(exportedLabel(this));
    layout->addLayout(resultsBlock(this, results_, QStringLiteral("il movimento")), 1);

    connect(pick, &QPushButton::clicked, this, [this] { runAction([this] { return form_.chooseCode(); }); });
    bindLookupKeys("MITDES", pick);
    connect(open_, &QPushButton::clicked, this, [this] { runAction([this] { return form_.openExport(); }); });
    connect(export_, &QPushButton::clicked, this, [this] {
        const std::filesystem::path file = chooseExportFile(this, form_.proposedExportName());
        if (file.empty()) return;
        runAction([this, file]() -> std::optional<std::string> {
            form_.exportTo(file);
            return std::nullopt;
        });
    });
    results_->setOpenRow([this](int row) {
        runAction([this, row]() -> std::optional<std::string> {
            form_.openFound(static_cast<std::size_t>(row));
            return std::nullopt;
        });
    });
    finishSetup(confirm, abandon);
    setTabOrder(abandon, results_);
    setTabOrder(results_, export_);
    resize(900, 560);
}

void RegisterSearchDialog::valuesShown() {
    showSearchState(form_, open_, export_, results_, shownGeneration_);
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
    export_ = exportButton(this);
    results_ = new SearchResultsView(form_.results(), this);
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
    layout->addLayout(buttonRow(open_, confirm, abandon, export_));
    layout->addWidget(exportedLabel(this));
    layout->addLayout(resultsBlock(this, results_, QStringLiteral("il record")), 1);

    connect(open_, &QPushButton::clicked, this, [this] { runAction([this] { return form_.openExport(); }); });
    connect(export_, &QPushButton::clicked, this, [this] {
        const std::filesystem::path file = chooseExportFile(this, form_.proposedExportName());
        if (file.empty()) return;
        runAction([this, file]() -> std::optional<std::string> {
            form_.exportTo(file);
            return std::nullopt;
        });
    });
    results_->setOpenRow([this](int row) {
        runAction([this, row]() -> std::optional<std::string> {
            form_.openFound(static_cast<std::size_t>(row));
            return std::nullopt;
        });
    });
    finishSetup(confirm, abandon);
    setTabOrder(abandon, results_);
    setTabOrder(results_, export_);
    resize(800, 520);
}

void DutySearchDialog::valuesShown() {
    showSearchState(form_, open_, export_, results_, shownGeneration_);
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

RegisterSearchDialog::~RegisterSearchDialog() { hide(); }

DutySearchDialog::~DutySearchDialog() { hide(); }

} // namespace accise
