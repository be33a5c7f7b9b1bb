#pragma once
// The address insert and modify windows on screen: widgets named as the controls of
// AddressEntryLogic; the caption and the fields shown follow the book's kind.
#include <map>
#include <string>

#include "logic/masterdata/addressentry.h"
#include "qt/framework/entrydialog.h"

class QLabel;

namespace accise {

class AddressEntryDialog : public EntryDialog {
    Q_OBJECT
public:
    // The insert window on the book of ctx.table.
    AddressEntryDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);
    // The modify window on an entry found by its code.
    AddressEntryDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, AddressRecord found,
                       QWidget* parent = nullptr);

    AddressEntryLogic& form() { return form_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build(FormServices& services);
    // Caption and visible fields for the book's kind.
    void applyKind();

    AddressEntryLogic form_;
    std::map<std::string, QLabel*> labels_;
};

} // namespace accise
