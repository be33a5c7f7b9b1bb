#pragma once
// The web addresses window on screen: LE0-LE7 in the live and the test groups.
#include "logic/masterdata/webaddresses.h"
#include "qt/framework/entrydialog.h"

namespace accise {

class WebAddressesDialog : public EntryDialog {
    Q_OBJECT
public:
    WebAddressesDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                       QWidget* parent = nullptr);

private:
    WebAddressesLogic form_;
};

} // namespace accise
