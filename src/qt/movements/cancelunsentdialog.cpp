#include "qt/movements/cancelunsentdialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

#include "core/tables/keyfilters.h"
#include "qt/movements/yearfield.h"

namespace accise {
namespace {

constexpr int kListPointSize = 8;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// ECONF: two characters, upper case, Enter moves on.
class ConfirmationKeys : public QObject {
public:
    explicit ConfirmationKeys(QLineEdit* field) : QObject(field), field_(field) {
        field->setMaxLength(2);
        field->installEventFilter(this);
        QObject::connect(field, &QLineEdit::textEdited, field, [field](const QString& text) {
            const QString upper = qs(toUpperAscii(text.toStdString()));
            if (upper != text) field->setText(upper);
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == field_ && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                moveToNextControl(field_);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QLineEdit* field_;
};

} // namespace

CancelUnsentDialog::CancelUnsentDialog(CommandContext& ctx, Prompt& prompt, QWidget* parent)
    : GuardedDialog(parent), logic_(ctx, prompt) {
    setObjectName(QStringLiteral("TFCANCMOVIM"));
    year_ = makeYearField(this);
    QLabel* yearLabel = yearCaption(this, QStringLiteral("Registro movimenti dell'anno:"), year_);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ELENCO"));
    list_->setFont(listFont(kListPointSize));
    connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        logic_.setTicked(static_cast<std::size_t>(list_->row(item)), item->checkState() == Qt::Checked);
    });

    auto* all = new QPushButton(QStringLiteral("Tutti"), this);
    all->setObjectName(QStringLiteral("BTUTTI"));
    auto* none = new QPushButton(QStringLiteral("Nessuno"), this);
    none->setObjectName(QStringLiteral("BNESSUNO"));
    connect(all, &QPushButton::clicked, this, [this] {
        logic_.tickAll();
        showTicks();
    });
    connect(none, &QPushButton::clicked, this, [this] {
        logic_.tickNone();
        showTicks();
    });

    confirmation_ = new QLineEdit(this);
    confirmation_->setObjectName(QStringLiteral("ECONF"));
    confirmation_->setFixedWidth(confirmation_->fontMetrics().horizontalAdvance(QStringLiteral("WWW")) + 16);
    new ConfirmationKeys(confirmation_);
    auto* confirmationLabel = new QLabel(QStringLiteral("Digita \"SI\" per cancellare:"), this);
    confirmationLabel->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    confirmationLabel->setBuddy(confirmation_);

    abandon_ = listAbandonButton(this);
    for (QPushButton* b : {all, none})
        b->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addWidget(yearLabel);
    top->addWidget(year_);
    top->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(all);
    bottom->addWidget(none);
    bottom->addStretch();
    bottom->addWidget(confirmationLabel);
    bottom->addWidget(confirmation_);
    bottom->addSpacing(20);
    bottom->addWidget(abandon_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list_, 1);
    layout->addLayout(bottom);
    setTabOrder(year_, list_);
    setTabOrder(list_, all);
    setTabOrder(all, none);
    setTabOrder(none, confirmation_);
    setTabOrder(confirmation_, abandon_);

    connect(qApp, &QApplication::focusChanged, this, &CancelUnsentDialog::onFocusChanged);
}

CancelUnsentDialog::~CancelUnsentDialog() {
    disconnect(qApp, &QApplication::focusChanged, this, &CancelUnsentDialog::onFocusChanged);
    disconnect(list_, nullptr, this, nullptr);
}

void CancelUnsentDialog::run() {
    execAndRethrow();
}

void CancelUnsentDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    handling_ = true;
    setWindowTitle(qs(logic_.title()));
    if (safely([this] { logic_.open(); })) {
        year_->setText(qs(logic_.yearText()));
        fill();
        focusConfirmation();
    }
    handling_ = false;
}

void CancelUnsentDialog::fill() {
    const QSignalBlocker blocker(list_);
    list_->clear();
    for (const std::string& line : logic_.lines()) {
        auto* item = new QListWidgetItem(qs(line), list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    showTicks();
    resize(logic_.windowWidth(kListPointSize), height());
}

void CancelUnsentDialog::showTicks() {
    const QSignalBlocker blocker(list_);
    for (int i = 0; i < list_->count(); ++i)
        list_->item(i)->setCheckState(logic_.ticked(static_cast<std::size_t>(i)) ? Qt::Checked
                                                                                 : Qt::Unchecked);
}

void CancelUnsentDialog::focusConfirmation() {
    confirmation_->setText(qs(logic_.confirmationText()));
    confirmation_->setFocus();
}

void CancelUnsentDialog::onFocusChanged(QWidget* old, QWidget* now) {
    if (handling_ || !isVisible() || !now || now->window() != this) return;
    if (old != year_ && old != confirmation_) return;
    handling_ = true;
    using Focus = CancelUnsentLogic::Focus;
    Focus next = Focus::List;
    const bool fromYear = old == year_;
    const bool ok = safely([&] {
        next = fromYear ? logic_.leaveYear(year_->text().toStdString())
                        : logic_.leaveConfirmation(confirmation_->text().toStdString());
    });
    if (ok) {
        if (logic_.closeRequested()) {
            accept();
        } else if (next == Focus::Year) {
            year_->setFocus();
            year_->selectAll();
        } else if (next == Focus::Confirmation) {
            fill(); // the same year keeps its list and ticks; another one was rebuilt
            focusConfirmation();
        } else {
            list_->setFocus();
        }
    }
    handling_ = false;
}

} // namespace accise
