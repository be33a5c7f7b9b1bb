#include "qt/telematic/flowreactivationdialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/telematic/checklistwidget.h"

namespace accise {

FlowReactivationDialog::FlowReactivationDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                               QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    setWindowTitle(QString::fromStdString(form_.title()));
    auto* layout = new QVBoxLayout(this);
    for (const char* warning : {kReactivationWarning1, kReactivationWarning2, kReactivationWarning3}) {
        auto* label = new QLabel(QString::fromUtf8(warning), this);
        label->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
        layout->addWidget(label);
    }
    auto edit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    auto* year = edit("LANNO");
    auto* date = edit("MDARI");
    auto* number = edit("INUCO");
    number->setAlignment(Qt::AlignRight);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Movimenti nell'anno:"), this), 0, 0);
    grid->addWidget(year, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Data del flusso"), this), 1, 0);
    grid->addWidget(date, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Numero del flusso"), this), 2, 0);
    grid->addWidget(number, 2, 1);
    grid->setColumnStretch(2, 1);
    auto* all = new QPushButton(QStringLiteral("Tutti"), this);
    all->setObjectName(QStringLiteral("BTUTTI"));
    auto* none = new QPushButton(QStringLiteral("Nessuno"), this);
    none->setObjectName(QStringLiteral("BNESSUNO"));
    all->setFocusPolicy(Qt::NoFocus);
    none->setFocusPolicy(Qt::NoFocus);
    grid->addWidget(all, 0, 3);
    grid->addWidget(none, 1, 3);
    layout->addLayout(grid);

    list_ = new CheckListWidget(form_.list(), this);
    list_->setMinimumSize(760, 260);
    layout->addWidget(list_, 1);

    auto* confirmRow = new QHBoxLayout;
    auto* confirmText = edit("ECONF");
    confirmRow->addWidget(new QLabel(QStringLiteral("DIGITA \"SI\" PER RIATTIVARE "), this));
    confirmRow->addWidget(confirmText);
    confirmRow->addStretch();
    auto* abandon = makeAbandonButton();
    confirmRow->addWidget(abandon);
    layout->addLayout(confirmRow);

    connect(all, &QPushButton::clicked, this, [this] {
        runAction([this]() -> std::optional<std::string> {
            form_.list().tickAll();
            return std::nullopt;
        });
    });
    connect(none, &QPushButton::clicked, this, [this] {
        runAction([this]() -> std::optional<std::string> {
            form_.list().tickNone();
            return std::nullopt;
        });
    });
    finishSetup(nullptr, abandon);
}

void FlowReactivationDialog::valuesShown() { list_->refresh(); }

} // namespace accise
