#include "qt/shell/infowindow.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>

#include "core/tables/dates.h"
#include "logic/shell/commands.h"

// The version the build names (CMake: the project's version and the commit it was
// configured from).
#ifndef ACCISE_VERSION
#define ACCISE_VERSION "sviluppo"
#endif

namespace accise {

InfoWindow::InfoWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Info"));
    label_ = new QLabel(QString::fromStdString(infoText(programFileDay(), ACCISE_VERSION)), this);
    label_->setObjectName(QStringLiteral("LINFO"));
    label_->setAlignment(Qt::AlignCenter);
    label_->setMargin(24);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    setMinimumWidth(320);
}

QString InfoWindow::text() const {
    return label_->text();
}

double InfoWindow::programFileDay() {
    const QDate date = QFileInfo(QCoreApplication::applicationFilePath()).lastModified().date();
    return date.isValid() ? dayNumber(date.year(), date.month(), date.day()) : 0;
}

void InfoWindow::mousePressEvent(QMouseEvent*) {
    accept();
}

} // namespace accise
