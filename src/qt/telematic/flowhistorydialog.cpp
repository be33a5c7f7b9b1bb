#include "qt/telematic/flowhistorydialog.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace accise {

FlowHistoryDialog::FlowHistoryDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                     AgencyService& agency, QWidget* parent)
    : QDialog(parent), logic_(ctx, prompt, services, agency) {
    setObjectName(QStringLiteral("TFFLUSSITRASMESSI"));
    setWindowTitle(QString::fromStdString(logic_.title()));

    year_ = new QLineEdit(this);
    year_->setObjectName(QStringLiteral("LANNO"));
    year_->setMaxLength(4);
    year_->setFixedWidth(60);
    auto* yearLabel = new QLabel(QStringLiteral("&Anno"), this);
    yearLabel->setBuddy(year_);
    connect(year_, &QLineEdit::returnPressed, this, [this] {
        if (logic_.setYear(year_->text().toStdString())) {
            fill();
            list_->setFocus();
        } else {
            year_->selectAll();
        }
    });

    model_ = new QStandardItemModel(this);
    list_ = new QTableView(this);
    list_->setObjectName(QStringLiteral("GFLUSSI"));
    list_->setModel(model_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->installEventFilter(this);
    auto* listLabel = new QLabel(QStringLiteral("&Flussi dell'anno  (Invio: esito ricevuto;  I invia,  E richiede "
                                                "l'esito,  M mostra l'esito,  R riattiva)"),
                                 this);
    listLabel->setBuddy(list_);

    details_ = new QPlainTextEdit(this);
    details_->setObjectName(QStringLiteral("RDETTAGLI"));
    details_->setReadOnly(true);
    details_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* detailsLabel = new QLabel(QStringLiteral("&Dettagli dell'esito"), this);
    detailsLabel->setBuddy(details_);

    auto button = [this](const char* name, const QString& text, Action action) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, action] { act(action); });
        return b;
    };
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(button("BINVIA", QStringLiteral("&Invia"), Action::Send));
    buttons->addWidget(button("BESITO", QStringLiteral("Richiedi &esito"), Action::AskOutcome));
    buttons->addWidget(button("BMOSTRA", QStringLiteral("&Mostra esito"), Action::ShowOutcome));
    buttons->addWidget(button("BRIATTIVA", QStringLiteral("&Riattiva"), Action::Reactivate));
    buttons->addStretch();
    auto* close = new QPushButton(QStringLiteral("&Chiudi"), this);
    close->setObjectName(QStringLiteral("BCHIUDI"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(close);

    auto* top = new QHBoxLayout;
    top->addWidget(yearLabel);
    top->addWidget(year_);
    top->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(listLabel);
    layout->addWidget(list_, 3);
    layout->addWidget(detailsLabel);
    layout->addWidget(details_, 2);
    layout->addLayout(buttons);

    logic_.open();
    year_->setText(QString::fromStdString(logic_.year()));
    fill();
    list_->setFocus();
    resize(980, 560);
}

void FlowHistoryDialog::fill() {
    const int current = list_->currentIndex().isValid() ? list_->currentIndex().row() : 0;
    model_->clear();
    QStringList titles;
    for (const std::string& t : FlowHistoryLogic::columnTitles()) titles << QString::fromStdString(t);
    model_->setHorizontalHeaderLabels(titles);
    for (std::size_t r = 0; r < logic_.rows().size(); ++r) {
        QList<QStandardItem*> items;
        for (const std::string& text : logic_.rowTexts(r)) items << new QStandardItem(QString::fromStdString(text));
        model_->appendRow(items);
    }
    list_->resizeColumnsToContents();
    if (model_->rowCount() > 0) list_->setCurrentIndex(model_->index(std::min(current, model_->rowCount() - 1), 0));
}

void FlowHistoryDialog::showDetails() {
    QStringList lines;
    for (const std::string& line : logic_.detailLines()) lines << QString::fromStdString(line);
    details_->setPlainText(lines.join(QLatin1Char('\n')));
}

void FlowHistoryDialog::act(Action action) {
    // No row when the year has no flows: the logic says so to the clerk.
    const std::size_t row = list_->currentIndex().isValid() ? static_cast<std::size_t>(list_->currentIndex().row())
                                                            : logic_.rows().size();
    switch (action) {
    case Action::Send: logic_.send(row); break;
    case Action::AskOutcome: logic_.askOutcome(row); break;
    case Action::ShowOutcome: logic_.showOutcome(row); break;
    case Action::Reactivate: logic_.reactivate(row); break;
    }
    if (action != Action::ShowOutcome) fill();
    showDetails();
    list_->setFocus();
}

bool FlowHistoryDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) return QDialog::eventFilter(watched, event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_M: act(Action::ShowOutcome); return true;
        case Qt::Key_I: act(Action::Send); return true;
        case Qt::Key_E: act(Action::AskOutcome); return true;
        case Qt::Key_R: act(Action::Reactivate); return true;
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace accise
