#include "qt/shell/qtprompt.h"

#include <QApplication>
#include <QMessageBox>

#include "core/files/ioerror.h"
#include "logic/shell/commands.h"

namespace accise {

QString QtPrompt::displayText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QChar('\r'), QChar('\n'));
    return shown;
}

void QtPrompt::information(const std::string& text) {
    QMessageBox box(QMessageBox::Information, QString::fromUtf8(kApplicationTitle), displayText(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool QtPrompt::question(const std::string& text) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kApplicationTitle), displayText(text),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool QtPrompt::okOrNo(const std::string& text) {
    QMessageBox box(QMessageBox::Information, QString::fromUtf8(kApplicationTitle), displayText(text),
                    QMessageBox::Ok | QMessageBox::No, QApplication::activeWindow());
    // OK goes ahead (a send to the real environment): a slip of Enter must not.
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Ok;
}

void showCommandError(QWidget* parent, const std::exception& error) {
    QString text;
    if (const auto* io = dynamic_cast<const IoError*>(&error))
        text = QStringLiteral("Errore di lettura o scrittura:\n%1\n%2")
                   .arg(QString::fromStdString(io->path().string()),
                        QString::fromStdString(io->systemMessage()));
    else
        text = QString::fromStdString(error.what());
    QMessageBox::critical(parent, QString::fromUtf8(kApplicationTitle), text);
}

} // namespace accise
