#pragma once
// The test signing program's window: the files of the folder to sign, one button that
// signs the chosen one into the folder of signed files, and a plain statement that
// the signature is a TEST signature.
#include <QDialog>
#include <filesystem>

#include "cms/cmssignature.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace accise::firma {

class FirmaWindow : public QDialog {
    Q_OBJECT
public:
    FirmaWindow(std::filesystem::path working, std::filesystem::path settingsFolder, QWidget* parent = nullptr);

private:
    void refresh();
    void signChosen();

    std::filesystem::path working_;
    std::filesystem::path settingsFolder_;
    std::filesystem::path toSign_;
    std::filesystem::path signedFiles_;
    QLabel* folderText_ = nullptr;
    QLabel* status_ = nullptr;
    QListWidget* files_ = nullptr;
    QPushButton* sign_ = nullptr;
};

} // namespace accise::firma
