#pragma once
// The service settings window on screen: one labelled line per key of SERVIZIO.INI.
#include "logic/telematic/servicesettingswindow.h"
#include "qt/framework/entrydialog.h"

namespace accise {

class ServiceSettingsDialog : public EntryDialog {
    Q_OBJECT
public:
    ServiceSettingsDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);

    ServiceSettingsLogic& form() { return form_; }

private:
    ServiceSettingsLogic form_;
};

} // namespace accise
