#pragma once
// The address delete window on screen: the entry as text (TESTO) and the
// confirmation field (CONFSI); leaving the field with "SI" deletes and closes.
#include "logic/masterdata/addressdelete.h"
#include "qt/framework/entrydialog.h"

namespace accise {

class AddressDeleteDialog : public EntryDialog {
    Q_OBJECT
public:
    AddressDeleteDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, AddressRecord entry,
                        QWidget* parent = nullptr);

    AddressDeleteLogic& form() { return form_; }

private:
    AddressDeleteLogic form_;
};

} // namespace accise
