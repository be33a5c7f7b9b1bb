#pragma once
// The other authorised sites window on screen: widgets named as the controls of
// OtherSitesLogic.
#include "logic/masterdata/othersites.h"
#include "qt/framework/entrydialog.h"

namespace accise {

class OtherSitesDialog : public EntryDialog {
    Q_OBJECT
public:
    OtherSitesDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);

private:
    OtherSitesLogic form_;
};

} // namespace accise
