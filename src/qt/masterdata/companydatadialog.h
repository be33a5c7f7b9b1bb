#pragma once
// The company data window on screen: widgets named as the controls of CompanyDataLogic.
#include "logic/masterdata/companydata.h"
#include "qt/framework/entrydialog.h"

namespace accise {

class CompanyDataDialog : public EntryDialog {
    Q_OBJECT
public:
    CompanyDataDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);

private:
    CompanyDataLogic form_;
};

} // namespace accise
