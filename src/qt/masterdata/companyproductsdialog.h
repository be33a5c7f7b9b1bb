#pragma once
// The company products window on screen: widgets named as the controls of
// CompanyProductsLogic, the packaged fields shown or hidden with the bulk choice,
// and the product's photo in its frame.
#include <functional>
#include <vector>

#include <QString>

#include "logic/masterdata/companyproducts.h"
#include "logic/shell/windowregistry.h"
#include "qt/framework/entrydialog.h"

class QLabel;

namespace accise {

class CompanyProductsDialog : public EntryDialog {
    Q_OBJECT
public:
    // Opens the picture dialog; the chosen file, or "" when none.
    using FileChooser = std::function<QString(QWidget* parent)>;

    CompanyProductsDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);

    CompanyProductsLogic& form() { return form_; }
    // Replaces the picture dialog (tests).
    void setFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
    // The photo as shown: its frame.
    QLabel* photoFrame() const { return photo_; }

private:
    void refreshView();
    void showPhoto();
    void choosePhoto();

    CompanyProductsLogic form_;
    FileChooser chooser_;
    std::vector<QWidget*> packagedWidgets_;
    QLabel* modifyLabel_ = nullptr;
    QWidget* listButton_ = nullptr;
    QWidget* deleteButton_ = nullptr;
    QLabel* photo_ = nullptr;
    std::string shownPhoto_;
};

// The menu command "&Prodotti dell'Azienda" (continuous entry) and the return-mode
// window companyproducts::kProductReturn.
void registerCompanyProductWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt,
                                   FormServices& services);

} // namespace accise
