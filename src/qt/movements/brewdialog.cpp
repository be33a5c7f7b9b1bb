#include "qt/movements/brewdialog.h"

#include <algorithm>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/tables/keyfilters.h"
#include "qt/framework/formwidgets.h"

namespace accise {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

} // namespace

BrewDialog::BrewDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    std::map<std::string, QLineEdit*> edits;
    for (const FieldSpec& f : form_.fields()) {
        if (f.control == "STGRID") continue;
        QLineEdit* edit = lineEdit(this, f.control.c_str());
        if (f.control.rfind("DOUBL", 0) == 0 || f.control.rfind("INTER", 0) == 0 ||
            f.control.rfind("LITRI", 0) == 0 || f.control.rfind("ACCISA", 0) == 0)
            edit->setAlignment(Qt::AlignRight);
        edits[f.control] = edit;
    }
    edits["ANNOTA"]->setMinimumWidth(widthForChars(edits["ANNOTA"], 60));
    for (const char* description : {"DPOS010", "DPOS009"})
        edits[description]->setMinimumWidth(widthForChars(edits[description], 40));

    grid_ = new QTableWidget(this);
    grid_->setObjectName(QStringLiteral("STGRID"));
    grid_->setColumnCount(BrewGrid::kColumns);
    QStringList captions;
    for (const char* caption : BrewGrid::kCaptions) captions << QString::fromUtf8(caption);
    grid_->setHorizontalHeaderLabels(captions);
    int gridWidth = 0;
    for (int c = 0; c < BrewGrid::kColumns; ++c) {
        grid_->setColumnWidth(c, BrewGrid::kWidths[static_cast<std::size_t>(c)]);
        gridWidth += BrewGrid::kWidths[static_cast<std::size_t>(c)];
    }
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers); // the logic takes the keys
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setTabKeyNavigation(false);                         // Tab leaves the grid
    grid_->setMinimumWidth(gridWidth + 24);
    grid_->setMinimumHeight(150);
    // The cursor stays in the unload column, the only one typed.
    connect(grid_, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (row >= 0 && column != BrewGrid::kUnloadColumn) grid_->setCurrentCell(row, BrewGrid::kUnloadColumn);
    });

    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    int row = 0;
    const auto addRow = [&](const char* control, const QString& caption, std::vector<QWidget*> beside = {}) {
        QLineEdit* edit = edits.at(control);
        QLabel* captionLabel = label(this, caption, edit);
        captionLabel->setObjectName(QStringLiteral("L") + QString::fromLatin1(control));
        labels_[captionLabel->objectName().toStdString()] = captionLabel;
        auto* line = new QHBoxLayout;
        line->addWidget(edit);
        for (QWidget* w : beside) line->addWidget(w, qobject_cast<QLineEdit*>(w) ? 1 : 0);
        if (beside.empty() || !qobject_cast<QLineEdit*>(beside.back())) line->addStretch();
        grid->addWidget(captionLabel, row, 0);
        grid->addLayout(line, row++, 1);
        return captionLabel;
    };
    addRow("DATMOV", QStringLiteral("Data della cotta"));
    addRow("NUMDOC", QStringLiteral("Numero del documento (VIA) della cotta"));
    auto* gridCaption = label(this, QStringLiteral("Materie prime utilizzate da scaricare:"), grid_);
    grid->addWidget(gridCaption, row++, 0, 1, 2);
    grid->addWidget(grid_, row++, 0, 1, 2);
    addRow("DOUBL1_3", QStringLiteral("Litri prodotti"));
    addRow("DOUBL5", QStringLiteral("Grado plato"));
    addRow("DOUBL2", QStringLiteral("Totale ettogradi"));
    addRow("DOUBL7", QStringLiteral("Accisa"));
    addRow("INTER1", QStringLiteral("Lettura iniziale contalitri"));
    addRow("INTER2", QStringLiteral("Lettura finale contalitri"));
    addRow("ANNOTA", QStringLiteral("Note (max 250)"));

    auto* registerBox = new QGroupBox(QStringLiteral("Registro:"), this);
    auto* registerLayout = new QVBoxLayout(registerBox);
    registerLayout->addWidget(new QLabel(QStringLiteral("delle lavorazioni"), registerBox));
    labels_["LPROTOCOLLO"] = namedLabel(registerBox, "LPROTOCOLLO");
    labels_["LPROTOCOLLO"]->setStyleSheet(QStringLiteral("font-weight: bold"));
    registerLayout->addWidget(labels_["LPROTOCOLLO"]);

    // The split section.
    const auto lookupButton = [&](const char* control) {
        auto* b = makeSideButton(QStringLiteral("."), QStringLiteral("mostra la tabella"),
                                 QStringLiteral("B") + QString::fromLatin1(control));
        b->setEnabled(services.hasLookupList());
        const std::string name = control;
        connect(b, &QPushButton::clicked, this, [this, name] { runAction([this, name] { return form_.lookup(name); }); });
        bindLookupKeys(name, b);
        return b;
    };
    auto* split = new QGroupBox(QStringLiteral("Dati per lo scarico della birra prodotta:"), this);
    split->setObjectName(QStringLiteral("GSCARICO"));
    auto* splitGrid = new QGridLayout(split);
    const auto splitRow = [&](int r, const QString& caption, const char* litres, const char* position,
                              const char* description, const char* excise) {
        splitGrid->addWidget(label(split, caption, edits.at(litres)), r, 0);
        splitGrid->addWidget(edits.at(litres), r, 1);
        splitGrid->addWidget(label(split, QStringLiteral("Pos. fiscale"), edits.at(position)), r, 2);
        splitGrid->addWidget(edits.at(position), r, 3);
        splitGrid->addWidget(lookupButton(position), r, 4);
        splitGrid->addWidget(edits.at(description), r, 5);
        splitGrid->addWidget(label(split, QStringLiteral("Accisa"), edits.at(excise)), r, 6);
        splitGrid->addWidget(edits.at(excise), r, 7);
    };
    for (const char* control : {"LITRI010", "POS010", "DPOS010", "ACCISA010", "LITRI009", "POS009", "DPOS009",
                                "ACCISA009"})
        edits.at(control)->setParent(split);
    splitRow(0, QStringLiteral("Litri da condizionare:"), "LITRI010", "POS010", "DPOS010", "ACCISA010");
    splitRow(1, QStringLiteral("Cali di lavorazione :"), "LITRI009", "POS009", "DPOS009", "ACCISA009");
    splitGrid->setColumnStretch(5, 1);
    splitWidgets_.push_back(split);

    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();
    QHBoxLayout* buttons = confirmRow(confirm, abandon);

    auto* body = new QHBoxLayout;
    body->addLayout(grid, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(registerBox);
    side->addStretch();
    body->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(split);
    layout->addLayout(buttons);

    finishSetup(confirm, abandon);
    form_.setViewChanged([this] { refreshView(); });
    refreshView();
}

QLabel* BrewDialog::labelOf(const std::string& name) const {
    const auto it = labels_.find(name);
    return it == labels_.end() ? nullptr : it->second;
}

void BrewDialog::typeSample(const std::map<std::string, std::string>& values,
                            const std::map<std::string, std::string>& unloads) {
    runAction([&]() -> std::optional<std::string> {
        if (const auto back = form_.typeFields(values, unloads)) return back;
        return std::string("BCONF");
    });
}

void BrewDialog::refreshView() {
    labels_["LPROTOCOLLO"]->setText(q(form_.protocolText()));
    for (QWidget* w : splitWidgets_) w->setVisible(form_.splitShown());
    for (const FieldSpec& f : form_.fields())
        if (f.readOnly)
            if (auto* edit = qobject_cast<QLineEdit*>(control(f.control))) edit->setCursorPosition(0);
    refreshGrid();
}

void BrewDialog::refreshGrid() {
    const BrewGrid& g = form_.grid();
    const int rows = static_cast<int>(g.rows());
    if (grid_->rowCount() != rows) grid_->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < BrewGrid::kColumns; ++c) {
            const QString text = q(g.cell(static_cast<std::size_t>(r), c));
            QTableWidgetItem* item = grid_->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                if (c >= 3) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                grid_->setItem(r, c, item);
            }
            if (item->text() != text) item->setText(text);
        }
    }
    // The product code is never cut short: the column widens to it when the font needs.
    int codeWidth = BrewGrid::kWidths[1];
    for (int r = 0; r < rows; ++r)
        codeWidth = std::max(codeWidth, grid_->fontMetrics().horizontalAdvance(grid_->item(r, 1)->text()) + 16);
    if (grid_->columnWidth(1) != codeWidth) grid_->setColumnWidth(1, codeWidth);
    if (rows > 0 && grid_->currentRow() < 0) grid_->setCurrentCell(0, BrewGrid::kUnloadColumn);
}

bool BrewDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_ && event->type() == QEvent::KeyPress && gridKeyPressed(static_cast<QKeyEvent*>(event)))
        return true;
    return EntryDialog::eventFilter(watched, event);
}

// The keys of the unload column go to the logic; cursor keys and Tab keep their meaning.
bool BrewDialog::gridKeyPressed(QKeyEvent* key) {
    const int row = grid_->currentRow();
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        std::optional<std::size_t> next;
        if (row >= 0) next = form_.gridEnter(static_cast<std::size_t>(row));
        refreshGrid();
        if (next) grid_->setCurrentCell(static_cast<int>(*next), BrewGrid::kUnloadColumn);
        else focusNextChild();
        return true;
    }
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    char32_t typed = 0;
    if (key->key() == Qt::Key_Backspace) typed = kBackspaceKey;
    else if (!key->text().isEmpty() && key->text().at(0).isPrint()) typed = key->text().toUcs4().front();
    else return false;
    if (row >= 0) form_.gridKey(static_cast<std::size_t>(row), typed); // other keys are dropped
    refreshGrid();
    return true;
}

void registerBrewWindow(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services) {
    const auto open = [parent, &prompt, &services](CommandContext& ctx) {
        BrewDialog(ctx, prompt, services, parent).run();
    };
    registry.add(brew::kCommand, open);
    registry.add(brew::kWindow, open);
}

} // namespace accise
