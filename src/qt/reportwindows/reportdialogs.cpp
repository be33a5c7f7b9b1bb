#include "qt/reportwindows/reportdialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "logic/shell/commandtable.h"
#include "qt/framework/formwidgets.h"
#include "qt/reports/reportoutput.h"

namespace accise {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

QHBoxLayout* buttonRow(QPushButton* confirm, QPushButton* abandon) {
    QHBoxLayout* buttons = confirmRow(confirm, abandon);
    return buttons;
}

QLineEdit* dateField(QWidget* parent, const char* name) {
    auto* line = lineEdit(parent, name);
    line->setFixedWidth(EntryDialog::widthForChars(line, 12));
    return line;
}

} // namespace

void PreviewViewer::show(const ReportJob& job) {
    const auto draw = job.draw;
    previewReport(
        parent_, PageOrientation::Landscape,
        [draw](PageCanvas& canvas) {
            // A long register takes a moment to draw: say so with the wait cursor.
            QApplication::setOverrideCursor(Qt::WaitCursor);
            try {
                draw(canvas);
            } catch (...) {
                QApplication::restoreOverrideCursor();
                throw;
            }
            QApplication::restoreOverrideCursor();
        },
        qs(job.title));
}

RegisterPrintDialog::RegisterPrintDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent)
    : EntryDialog(form_, parent), viewer_(this), form_(ctx, prompt, services, viewer_) {
    setObjectName(QStringLiteral("TFSTAREGCARSCA"));
    setWindowTitle(qs(form_.title()));

    auto* mode = new QGroupBox(this);
    mode->setObjectName(QStringLiteral("RTIPO"));
    auto* modeLayout = new QVBoxLayout(mode);
    for (const char* caption :
         {"Stampa il Registro COMPLETO", "Stampa Solo i MOVIMENTI", "Stampa Solo le INTESTAZIONI"}) {
        auto* radio = new QRadioButton(QString::fromUtf8(caption), mode);
        modeLayout->addWidget(radio);
        connect(radio, &QRadioButton::toggled, this, [this](bool on) {
            if (on) runAction([] { return std::optional<std::string>(); });
        });
    }

    auto* from = dateField(this, "MDADA");
    auto* to = dateField(this, "MDAAL");
    list_ = new QComboBox(this);
    list_->setObjectName(QStringLiteral("ELENCO"));
    list_->setMinimumContentsLength(60);
    list_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* grid = new QGridLayout;
    grid->addWidget(label(this, QStringLiteral("&Dalla data"), from), 0, 0);
    grid->addWidget(from, 0, 1, Qt::AlignLeft);
    grid->addWidget(label(this, QStringLiteral("A&lla data"), to), 1, 0);
    grid->addWidget(to, 1, 1, Qt::AlignLeft);
    grid->addWidget(label(this, QStringLiteral("&Registro:"), list_), 2, 0);
    grid->addWidget(list_, 2, 1);
    grid->setColumnStretch(1, 1);

    headingsFields_ = new QWidget(this);
    auto* sheets = lineEdit(headingsFields_, "MFOGLI");
    auto* firstPage = lineEdit(headingsFields_, "IDAPAG");
    for (QLineEdit* line : {sheets, firstPage}) {
        line->setAlignment(Qt::AlignRight);
        line->setFixedWidth(widthForChars(line, 7));
    }
    auto* headingsGrid = new QGridLayout(headingsFields_);
    headingsGrid->setContentsMargins(0, 0, 0, 0);
    headingsGrid->addWidget(label(headingsFields_, QStringLiteral("Numero dei fogli da stampare"), sheets), 0, 0);
    headingsGrid->addWidget(sheets, 0, 1, Qt::AlignLeft);
    headingsGrid->addWidget(label(headingsFields_, QStringLiteral("A partire dal numero di pagina:"), firstPage), 1, 0);
    headingsGrid->addWidget(firstPage, 1, 1, Qt::AlignLeft);
    headingsGrid->addWidget(new QLabel(QStringLiteral("digita 0 (zero) per non numerare le pagine"), headingsFields_), 2,
                            0, 1, 2);
    headingsGrid->setColumnStretch(2, 1);

    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mode);
    layout->addLayout(grid);
    layout->addWidget(headingsFields_);
    layout->addStretch();
    layout->addLayout(buttonRow(confirm, abandon));
    finishSetup(confirm, abandon);
    resize(sizeHint().expandedTo(QSize(620, 0)));
}

void RegisterPrintDialog::valuesShown() {
    headingsFields_->setVisible(form_.headingsMode());
    // The list follows the logic's entries; its choice is the logic's ELENCO.
    const auto& entries = form_.registerEntries();
    bool same = list_->count() == static_cast<int>(entries.size());
    for (int i = 0; same && i < list_->count(); ++i) same = list_->itemText(i) == qs(entries[static_cast<std::size_t>(i)]);
    if (!same) {
        const QSignalBlocker block(list_);
        list_->clear();
        for (const auto& entry : entries) list_->addItem(qs(entry));
    }
    bool ok = false;
    const int index = qs(form_.value("ELENCO")).toInt(&ok);
    if (ok && index != list_->currentIndex()) {
        const QSignalBlocker block(list_);
        list_->setCurrentIndex(index);
    }
}

RegisterTotalsDialog::RegisterTotalsDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent)
    : EntryDialog(form_, parent), viewer_(this), form_(ctx, prompt, services, viewer_) {
    setObjectName(QStringLiteral("TFTOTALI"));
    setWindowTitle(qs(form_.title()));
    auto* date = dateField(this, "MDAAL");
    auto* row = new QHBoxLayout;
    row->addWidget(label(this, QStringLiteral("&Totali di tutti i registri alla data"), date));
    row->addWidget(date);
    row->addStretch();
    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addStretch();
    layout->addLayout(buttonRow(confirm, abandon));
    finishSetup(confirm, abandon);
    resize(sizeHint().expandedTo(QSize(460, 0)));
}

void registerReportWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services) {
    Prompt* p = &prompt;
    FormServices* s = &services;
    // The print mode stays from one showing to the next.
    auto mode = std::make_shared<std::string>("0");
    registry.add(handlers::kRegisterPrint, [parent, p, s, mode](CommandContext& ctx) {
        RegisterPrintDialog dialog(ctx, *p, *s, parent);
        dialog.form().setValue("RTIPO", *mode);
        dialog.run();
        *mode = dialog.form().value("RTIPO");
    });
    registry.add(kRegisterTotalsCommand,
                 [parent, p, s](CommandContext& ctx) { RegisterTotalsDialog(ctx, *p, *s, parent).run(); });
}

} // namespace accise
