#pragma once
// ULISTVIEW on screen: the lookup list of a code table or address book. Enter, a
// double-click or "&OK" choose the selected row; Esc or "&Abbandona" close with -1;
// a click on a column header sorts by that column; "&Stampa" prints the list.
#include <QDialog>
#include <cstdint>
#include <functional>

#include "core/reports/lookuplistreport.h"
#include "logic/framework/commandcontext.h"
#include "logic/shell/lookuplist.h"
#include "logic/shell/windowregistry.h"

class QTreeWidget;
class QPushButton;

namespace accise {

class LookupListDialog : public QDialog {
    Q_OBJECT
public:
    // Builds the list at once (TABELLA.TXT is written here).
    LookupListDialog(CommandContext& ctx, LookupRequest request, QWidget* parent = nullptr);

    // Shows the window modally; the chosen row's number, -1 when none (also left in
    // ctx.chosenCode).
    std::int32_t run();

    const LookupList& list() const { return list_; }
    QTreeWidget* view() const { return view_; }
    // The report of the list as it is sorted now (what "&Stampa" prints).
    LookupReportData reportData() const;

    // Replaces what "&Stampa" does after building the report (tests).
    using Printer = std::function<void(const LookupReportData&)>;
    void setPrinter(Printer printer) { printer_ = std::move(printer); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fill();
    void choose();
    void sortBy(int column);
    void print();

    CommandContext& ctx_;
    LookupList list_;
    QTreeWidget* view_ = nullptr;
    std::int32_t chosen_ = -1;
    Printer printer_;
};

// The request of the lookup list a command or window asks for: ctx.table and ctx.mode
// (the movement date of the TA20 filters is not among the command values yet: 0).
LookupRequest lookupRequestOf(const CommandContext& ctx);

// Registers the lookup list under kLookupList.
void registerLookupList(WindowRegistry& registry, QWidget* parent);

} // namespace accise
