#pragma once
// The duty-record windows on screen: widgets named as the controls of their logic.
#include "logic/duty/creditswindow.h"
#include "logic/duty/excisesummaryday.h"
#include "logic/duty/excisesummaryperiod.h"
#include "logic/duty/guaranteewindow.h"
#include "logic/duty/voluntarycorrection.h"
#include "qt/duty/dutydialog.h"

class QPushButton;

namespace accise {

class CreditsDialog : public DutyDialog {
    Q_OBJECT
public:
    CreditsDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);
    CreditsLogic& form() { return form_; }

protected:
    void valuesShown() override;

private:
    CreditsLogic form_;
    QPushButton* chooseOffice_ = nullptr;
    QPushButton* addOffice_ = nullptr;
};

class ExciseSummaryPeriodDialog : public DutyDialog {
    Q_OBJECT
public:
    ExciseSummaryPeriodDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                              QWidget* parent = nullptr);
    ExciseSummaryPeriodLogic& form() { return form_; }

protected:
    // The cursor entering the notes recomputes the total.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ExciseSummaryPeriodLogic form_;
    QWidget* notes_ = nullptr;
};

class ExciseSummaryDayDialog : public DutyDialog {
    Q_OBJECT
public:
    ExciseSummaryDayDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);
    ExciseSummaryDayLogic& form() { return form_; }

private:
    ExciseSummaryDayLogic form_;
};

class VoluntaryCorrectionDialog : public DutyDialog {
    Q_OBJECT
public:
    VoluntaryCorrectionDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                              QWidget* parent = nullptr);
    VoluntaryCorrectionLogic& form() { return form_; }

private:
    VoluntaryCorrectionLogic form_;
};

class GuaranteeDialog : public DutyDialog {
    Q_OBJECT
public:
    GuaranteeDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);
    GuaranteeLogic& form() { return form_; }

private:
    GuaranteeLogic form_;
};

} // namespace accise
