#pragma once
// The packaging window on screen: widgets named as the controls of PackagingLogic,
// the two registers the packaging moves between, the in-process stock and the
// product's photo.
#include <map>
#include <string>

#include "logic/movements/packagingwindow.h"
#include "logic/shell/windowregistry.h"
#include "qt/framework/entrydialog.h"
#include "qt/movements/productphoto.h"

class QLabel;

namespace accise {

class PackagingDialog : public EntryDialog {
    Q_OBJECT
public:
    PackagingDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, const WindowRegistry& registry,
                    QWidget* parent = nullptr);

    PackagingLogic& form() { return form_; }
    QLabel* labelOf(const std::string& name) const; // LTIPOREGISTRO, LPROTOCOLLO, LLAVORAZIONI, LMAX
    // Types the values into the window as a clerk would, without confirming (the
    // screenshot tour shows a packaging this way).
    void typeSample(const std::map<std::string, std::string>& values);

protected:
    void valuesShown() override { refreshView(); }

private:
    void refreshView();

    PackagingLogic form_;
    std::map<std::string, QLabel*> labels_;
    ProductPhoto* photo_ = nullptr;
};

// "Condizionamento" (the menu command and the window's own name).
void registerPackagingWindow(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services);

} // namespace accise
