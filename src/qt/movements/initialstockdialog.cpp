#include "qt/movements/initialstockdialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/framework/formwidgets.h"

namespace accise {

using namespace initialstockwindow;

InitialStockDialog::InitialStockDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                       QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    setObjectName(QStringLiteral("TFGIACENZA"));
    auto* reg = new QLabel(this);
    reg->setObjectName(QStringLiteral("lregistro"));
    QFont bold = reg->font();
    bold.setBold(true);
    reg->setFont(bold);
    auto* date = lineEdit(this, "DATMOV");
    auto* quantity = lineEdit(this, "DOUBL1_3");
    degrees_ = lineEdit(this, "DOUBL2");
    for (QLineEdit* number : {quantity, degrees_})
        number->setAlignment(Qt::AlignRight);
    auto* note = lineEdit(this, "ANNOTA");
    correction_ = new QLabel(this);
    correction_->setObjectName(QStringLiteral("LRETTIFICA"));
    correction_->setFont(bold);
    correction_->setStyleSheet(QStringLiteral("color: #b00000;"));
    products_ = new QListWidget(this);
    products_->setObjectName(QStringLiteral("Rprodotti"));
    products_->setFocusPolicy(Qt::NoFocus);
    products_->setSelectionMode(QAbstractItemView::NoSelection);

    quantityLabel_ = label(this, QString::fromUtf8(kKilogramsLabel), quantity);
    degreesLabel_ = label(this, QString::fromUtf8(kDegreesLabel), degrees_);
    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();

    auto* grid = new QGridLayout;
    grid->setColumnStretch(2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Giacenza iniziale riferita al registro:"), this), 0, 0);
    grid->addWidget(reg, 0, 1, 1, 2);
    grid->addWidget(label(this, QStringLiteral("Giacenza a fine giornata del"), date), 1, 0);
    grid->addWidget(date, 1, 1, Qt::AlignLeft);
    grid->addWidget(quantityLabel_, 2, 0);
    grid->addWidget(quantity, 2, 1, Qt::AlignLeft);
    grid->addWidget(degreesLabel_, 3, 0);
    grid->addWidget(degrees_, 3, 1, Qt::AlignLeft);

    QHBoxLayout* buttons = confirmRow(confirm, abandon);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(correction_);
    layout->addLayout(grid);
    layout->addWidget(new QLabel(QStringLiteral("Prodotti del registro"), this));
    layout->addWidget(products_, 1);
    layout->addWidget(label(this, QStringLiteral("Note (max 250)"), note));
    layout->addWidget(note);
    layout->addLayout(buttons);

    finishSetup(confirm, abandon);
    resize(640, 440);
}

void InitialStockDialog::valuesShown() {
    quantityLabel_->setText(QString::fromStdString(form_.quantityLabel()));
    degreesLabel_->setVisible(form_.degreesShown());
    degrees_->setVisible(form_.degreesShown());
    correction_->setVisible(form_.mode() != 'G');
    QStringList lines;
    for (const std::string& line : form_.productLines())
        lines << QString::fromStdString(line);
    QStringList shown;
    for (int i = 0; i < products_->count(); ++i)
        shown << products_->item(i)->text();
    if (shown != lines) {
        products_->clear();
        products_->addItems(lines);
    }
}

} // namespace accise
