#pragma once
// The web addresses window on screen: LE0-LE7 in the live and the test groups.
#include "framework/qt/entrydialog.h"
#include "masterdata/webaddresses.h"

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
