#pragma once
// The search windows on screen: register search, duty-record search, initial-stock
// search. Each is a thin dialog over its logic class. The register and duty-record
// searches also list the records found (LRICERCA, reached with Alt+R) and export them
// with "&Esporta..." to a file the clerk names.
#include "logic/reportwindows/dutysearchwindow.h"
#include "logic/reportwindows/registersearchwindow.h"
#include "logic/reportwindows/stocksearchwindow.h"
#include "qt/framework/entrydialog.h"

class QFileDialog;
class QLabel;
class QPushButton;

namespace accise {

class SearchResultsView;
class WindowRegistry;

namespace searchdialogs {
// The save dialog of "Esporta..." (objectName), opened in the user's documents folder.
inline constexpr const char* kExportDialog = "DESPORTA";
} // namespace searchdialogs

class RegisterSearchDialog : public EntryDialog {
    Q_OBJECT
public:
    RegisterSearchDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);
    RegisterSearchLogic& form() { return form_; }

    // The list shows the logic's results: it is hidden while they still exist (a
    // dialog hides its children only after its own members are gone).
    ~RegisterSearchDialog() override;
    SearchResultsView* results() const { return results_; }

protected:
    void valuesShown() override;

private:
    RegisterSearchLogic form_;
    QPushButton* open_ = nullptr;
    QPushButton* export_ = nullptr;
    SearchResultsView* results_ = nullptr;
    std::size_t shownGeneration_ = 0;
};

class DutySearchDialog : public EntryDialog {
    Q_OBJECT
public:
    DutySearchDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, int kindChoice,
                     QWidget* parent = nullptr);
    DutySearchLogic& form() { return form_; }

    // The list shows the logic's results: it is hidden while they still exist (a
    // dialog hides its children only after its own members are gone).
    ~DutySearchDialog() override;
    SearchResultsView* results() const { return results_; }

protected:
    void valuesShown() override;

private:
    DutySearchLogic form_;
    QPushButton* open_ = nullptr;
    QPushButton* export_ = nullptr;
    SearchResultsView* results_ = nullptr;
    std::size_t shownGeneration_ = 0;
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
