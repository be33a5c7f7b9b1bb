#include "qt/telematic/transmissiondialog.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/reports/textreport.h"
#include "qt/reports/reportoutput.h"

namespace accise {

TransmissionDialog::TransmissionDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                       AgencyService& agency, QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services, agency) {
    auto named = [this](QLabel* label, const char* name) {
        label->setObjectName(QString::fromLatin1(name));
        return label;
    };
    label3_ = named(new QLabel(QStringLiteral("Attesa del file firmato: "), this), "Label3");
    label4_ = named(new QLabel(this), "Label4");
    label1_ = named(new QLabel(QStringLiteral("File Firmato da Inviare: "), this), "Label1");
    label2_ = named(new QLabel(this), "Label2");
    label4_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    environment_ = new QGroupBox(this);
    environment_->setObjectName(QStringLiteral("GAMBIENTE"));
    auto* test = new QRadioButton(QStringLiteral("Invia nell'ambiente di PROVA "), environment_);
    test->setObjectName(QStringLiteral("RPROVA"));
    auto* real = new QRadioButton(QStringLiteral("Invia nell'ambiente REALE"), environment_);
    real->setObjectName(QStringLiteral("RREALE"));
    auto* radios = new QVBoxLayout(environment_);
    radios->addWidget(test);
    radios->addWidget(real);

    auto* report = new QPlainTextEdit(this);
    report->setObjectName(QStringLiteral("RICHED"));
    report->setReadOnly(true);
    report->setFont(QFont(QStringLiteral("Courier New"), 9));
    report->setMinimumSize(640, 260);

    auto* edi = new QPushButton(QStringLiteral("Interroga E.D.I."), this);
    edi->setObjectName(QStringLiteral("BEDI"));
    auto* printButton = new QPushButton(QStringLiteral("Stampa"), this);
    printButton->setObjectName(QStringLiteral("BSTAMPA"));
    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();

    auto* grid = new QGridLayout;
    grid->addWidget(label3_, 0, 0);
    grid->addWidget(label4_, 0, 1);
    grid->addWidget(label1_, 1, 0);
    grid->addWidget(label2_, 1, 1);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(edi);
    buttons->addWidget(printButton);
    buttons->addStretch();
    buttons->addWidget(confirm);
    buttons->addWidget(abandon);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(environment_);
    layout->addWidget(report, 1);
    layout->addLayout(buttons);

    connect(edi, &QPushButton::clicked, this, [this] {
        runAction([this]() -> std::optional<std::string> {
            form_.queryEdi();
            return std::nullopt;
        });
    });
    connect(printButton, &QPushButton::clicked, this, [this] { print(); });
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, [this] {
        form_.secondElapsed();
        if (!form_.waiting()) timer_.stop();
        valuesShown();
    });
    finishSetup(confirm, abandon);
    // Tab goes from the report through the environment choice to "&CONFERMA", so the
    // choice is never skipped on the way to the button.
    setTabOrder(report, test);
    setTabOrder(test, real);
    setTabOrder(real, confirm);
    setTabOrder(confirm, abandon);
}

void TransmissionDialog::startWaiting() {
    if (form_.abandoned() || form_.waiting()) return;
    form_.startWaitPass();
    timer_.start();
    valuesShown();
}

void TransmissionDialog::showEvent(QShowEvent* event) {
    EntryDialog::showEvent(event);
    startWaiting();
}

bool TransmissionDialog::event(QEvent* event) {
    // Each time the window becomes active (back from a message box, from another
    // program) one pass of the wait looks for the signed file.
    if (event->type() == QEvent::WindowActivate) startWaiting();
    return EntryDialog::event(event);
}

void TransmissionDialog::reject() {
    timer_.stop();
    form_.abandonWindow();
    // Nothing typed here to lose (the environment is a choice, the report the
    // agency's): the window closes without the question of the entry windows.
    QDialog::reject();
}

void TransmissionDialog::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (child != label4_) child->setEnabled(!busy);
}

void TransmissionDialog::valuesShown() {
    const bool choice = form_.choiceShown();
    label3_->setVisible(!choice);
    label4_->setVisible(!choice);
    label1_->setVisible(choice);
    label2_->setVisible(choice);
    environment_->setVisible(choice);
    label4_->setText(QString::fromStdString(form_.value("Label4")));
    label2_->setText(QString::fromStdString(form_.value("Label2")));
}

void TransmissionDialog::print() {
    const std::string title = form_.context().flowFileName;
    std::vector<std::string> lines;
    // What the report box shows, line by line.
    const std::string shown = form_.value("RICHED");
    std::size_t start = 0;
    while (start <= shown.size() && !shown.empty()) {
        const std::size_t end = std::min(shown.find('\n', start), shown.size());
        lines.push_back(shown.substr(start, end - start));
        start = end + 1;
    }
    previewReport(this, PageOrientation::Portrait,
                  [&](PageCanvas& canvas) { drawTextReport(canvas, title, lines); }, QString::fromStdString(title));
}

} // namespace accise
