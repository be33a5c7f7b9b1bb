#include "firma/firmawindow.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "firma/testsigner.h"

namespace accise::firma {
namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }
QString text(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

} // namespace

FirmaWindow::FirmaWindow(std::filesystem::path working, std::filesystem::path settingsFolder, QWidget* parent)
    : QDialog(parent), working_(std::move(working)), settingsFolder_(std::move(settingsFolder)) {
    setWindowTitle(QStringLiteral("Firma di PROVA dei flussi telematici"));
    auto* warning = new QLabel(QStringLiteral(
        "<b>FIRMA DI PROVA</b>: questo programma sostituisce il programma di firma dell'Agenzia "
        "solo per prove e dimostrazioni. Il file è firmato con un certificato di prova creato su "
        "questo computer: l'Agenzia delle Dogane <b>non</b> accetta questa firma."), this);
    warning->setObjectName(QStringLiteral("LAVVISO"));
    warning->setWordWrap(true);
    warning->setStyleSheet(QStringLiteral("QLabel { color: #a00000; border: 2px solid #a00000; padding: 6px; }"));

    folderText_ = new QLabel(this);
    folderText_->setObjectName(QStringLiteral("LCARTELLE"));
    folderText_->setWordWrap(true);
    files_ = new QListWidget(this);
    files_->setObjectName(QStringLiteral("LFILE"));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("LESITO"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    sign_ = new QPushButton(QStringLiteral("&Firma il file scelto"), this);
    sign_->setObjectName(QStringLiteral("BFIRMA"));
    sign_->setDefault(true);
    auto* again = new QPushButton(QStringLiteral("A&ggiorna l'elenco"), this);
    again->setObjectName(QStringLiteral("BAGGIORNA"));
    auto* close = new QPushButton(QStringLiteral("&Chiudi"), this);
    close->setObjectName(QStringLiteral("BCHIUDI"));
    connect(sign_, &QPushButton::clicked, this, &FirmaWindow::signChosen);
    connect(again, &QPushButton::clicked, this, &FirmaWindow::refresh);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(files_, &QListWidget::itemDoubleClicked, this, &FirmaWindow::signChosen);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sign_);
    buttons->addWidget(again);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(warning);
    layout->addWidget(folderText_);
    layout->addWidget(files_, 1);
    layout->addWidget(status_);
    layout->addLayout(buttons);
    resize(640, 420);
    refresh();
}

void FirmaWindow::refresh() {
    files_->clear();
    const SigningFolders folders = signingFolders(working_);
    toSign_ = folders.toSign;
    signedFiles_ = folders.signedFiles;
    if (!folders.problem.empty()) {
        folderText_->setText(text(folders.problem) + QStringLiteral("\nCartella di lavoro: ") + text(working_));
        sign_->setEnabled(false);
        return;
    }
    folderText_->setText(QStringLiteral("File da firmare nella cartella %1\n(le copie firmate vanno in %2)")
                             .arg(text(toSign_), text(signedFiles_)));
    for (const auto& file : filesToSign(toSign_)) {
        QString line = text(file.filename());
        const QFileInfo info(text(file));
        line += QStringLiteral("   ") + info.lastModified().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
        if (std::filesystem::exists(signedCopyOf(file, signedFiles_))) line += QStringLiteral("   (già firmato)");
        auto* item = new QListWidgetItem(line, files_);
        item->setData(Qt::UserRole, text(file));
    }
    // The newest unsigned flow is the one the clerk has just created.
    files_->sortItems(Qt::AscendingOrder);
    for (int i = files_->count() - 1; i >= 0; --i)
        if (!files_->item(i)->text().endsWith(QStringLiteral("(già firmato)"))) {
            files_->setCurrentRow(i);
            break;
        }
    sign_->setEnabled(files_->count() > 0);
    if (files_->count() == 0) status_->setText(QStringLiteral("Nessun file da firmare nella cartella."));
}

void FirmaWindow::signChosen() {
    QListWidgetItem* item = files_->currentItem();
    if (!item) {
        QMessageBox::information(this, windowTitle(), QStringLiteral("Scegliere il file da firmare."));
        return;
    }
    const std::filesystem::path file = item->data(Qt::UserRole).toString().toStdString();
    const std::filesystem::path out = signedCopyOf(file, signedFiles_);
    try {
        setCursor(Qt::WaitCursor); // the first signature creates the test certificate
        signFile(file, out, testIdentity(settingsFolder_));
        unsetCursor();
    } catch (const std::exception& e) {
        unsetCursor();
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Il file non è stato firmato:\n%1").arg(QString::fromStdString(e.what())));
        return;
    }
    status_->setText(QStringLiteral("FIRMA DI PROVA eseguita: %1").arg(text(out)));
    refresh();
    status_->setText(QStringLiteral("FIRMA DI PROVA eseguita: %1").arg(text(out)));
}

} // namespace accise::firma
