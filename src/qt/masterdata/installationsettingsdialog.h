#pragma once
// The installation settings window on screen: seven brew-split excise codes and the
// direct-release excise code, one line each.
#include "logic/masterdata/installationsettingswindow.h"
#include "qt/framework/entrydialog.h"

namespace accise {

class InstallationSettingsDialog : public EntryDialog {
    Q_OBJECT
public:
    InstallationSettingsDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);

    InstallationSettingsLogic& form() { return form_; }

private:
    InstallationSettingsLogic form_;
};

} // namespace accise
