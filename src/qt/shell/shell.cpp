#include "qt/shell/shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include "qt/reports/reportoutput.h"
#include "qt/shell/helpwindow.h"
#include "qt/shell/mainwindow.h"
#include "qt/shell/titlefit.h"

namespace accise {

void openWithDesktop(const std::string& address) {
    QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(address)));
}

bool startDetachedProgram(const std::string& path) {
    const QString program = QString::fromStdString(path);
    if (QProcess::startDetached(program, {})) return true;
    // What the program's file type says when it cannot be started directly.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(program));
}

void openFileWithDesktop(const std::string& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void previewReportJob(const ReportJob& job) {
    previewReport(QApplication::activeModalWidget(), job.orientation, job.draw, QString::fromStdString(job.title));
}

Shell::Shell(Folders folders, Prompt& prompt, RegistryServices::Opener openAddress,
             RegistryServices::Starter startProgram)
    : prompt_(prompt),
      services_(registry_, openAddress ? std::move(openAddress) : RegistryServices::Opener(openWithDesktop),
                startProgram ? std::move(startProgram) : RegistryServices::Starter(startDetachedProgram),
                openFileWithDesktop, previewReportJob) {
    ctx_.folders = std::move(folders);
    window_ = std::make_unique<MainWindow>(ctx_, prompt_, registry_);
    window_->updateCommandStates();
    // Every window of the program: F1 opens its help, its title is never cut.
    installHelpKey();
    installTitleFit(ctx_.maxWindowWidth);
}

Shell::~Shell() = default;

} // namespace accise
