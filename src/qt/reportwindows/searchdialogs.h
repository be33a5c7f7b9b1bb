#pragma once
// The search windows on screen: register search, duty-record search, initial-stock
// search. Each is a thin dialog over its logic class.
#include "logic/reportwindows/dutysearchwindow.h"
#include "logic/reportwindows/registersearchwindow.h"
#include "logic/reportwindows/stocksearchwindow.h"
#include "qt/framework/entrydialog.h"

class QLabel;
class QPushButton;

namespace accise {

class WindowRegistry;

class RegisterSearchDialog : public EntryDialog {
    Q_OBJECT
public:
    RegisterSearchDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);
    RegisterSearchLogic& form() { return form_; }

protected:
    void valuesShown() override;

private:
    RegisterSearchLogic form_;
    QPushButton* open_ = nullptr;
};

class DutySearchDialog : public EntryDialog {
    Q_OBJECT
public:
    DutySearchDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, int kindChoice,
                     QWidget* parent = nullptr);
    DutySearchLogic& form() { return form_; }

protected:
    void valuesShown() override;

private:
    DutySearchLogic form_;
    QPushButton* open_ = nullptr;
};

class StockSearchDialog : public EntryDialog {
    Q_OBJECT
public:
    StockSearchDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, const std::string& from,
                      QWidget* parent = nullptr);
    StockSearchLogic& form() { return form_; }

private:
    StockSearchLogic form_;
};

// Registers the three windows under their commands' handlers. The duty search keeps
// its chosen kind and the initial-stock search its "Dalla data" from one showing to
// the next.
void registerSearchWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services);

} // namespace accise
