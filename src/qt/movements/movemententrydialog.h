#pragma once
// The movement window on screen: widgets named as the controls of MovementEntryLogic,
// shown, hidden, captioned and coloured as the logic's layout says, the lookup and
// new-code buttons, the stock available for an unload and the product's photo.
#include <map>
#include <string>
#include <vector>

#include "logic/movements/movemententry.h"
#include "logic/shell/windowregistry.h"
#include "qt/framework/entrydialog.h"
#include "qt/movements/productphoto.h"

class QLabel;

namespace accise {

class MovementEntryDialog : public EntryDialog {
    Q_OBJECT
public:
    MovementEntryDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, const WindowRegistry& registry,
                        QWidget* parent = nullptr);

    MovementEntryLogic& form() { return form_; }
    QLabel* labelOf(const std::string& name) const; // the caption or display label of that name
    // Types the values into the window as a clerk would, without confirming (the
    // screenshot tour shows a load and an unload this way).
    void typeSample(const std::map<std::string, std::string>& values);

protected:
    void valuesShown() override { refreshView(); }

private:
    void refreshView();
    // Every row keeps its place when hidden and the window its size, whatever is typed.
    void keepLayoutFixed();

    MovementEntryLogic form_;
    std::map<std::string, std::vector<QWidget*>> rows_; // a control and what is shown with it
    std::map<std::string, QLabel*> labels_;
    ProductPhoto* photo_ = nullptr;
};

// "Inserisce movimento" and the window the record selection opens for the changes
// and corrections (movemententry::kWindow).
void registerMovementWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services);

} // namespace accise
