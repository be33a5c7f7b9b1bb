#pragma once
// The report windows on screen: the printed register and the register totals, each
// opening its report in the preview, and their registration under their commands.
#include <memory>
#include <string>

#include "core/files/prompt.h"
#include "logic/framework/formservices.h"
#include "logic/reportwindows/registerprintwindow.h"
#include "logic/reportwindows/registertotalswindow.h"
#include "logic/shell/windowregistry.h"
#include "qt/framework/entrydialog.h"

class QComboBox;
class QWidget;

namespace accise {

// The preview window of the reports (maximised, zoomed to the page width), with a
// wait cursor while the pages are drawn.
class PreviewViewer : public ReportViewer {
public:
    explicit PreviewViewer(QWidget* parent) : parent_(parent) {}
    void show(const ReportJob& job) override;

private:
    QWidget* parent_;
};

class RegisterPrintDialog : public EntryDialog {
    Q_OBJECT
public:
    RegisterPrintDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);
    RegisterPrintLogic& form() { return form_; }

protected:
    void valuesShown() override;

private:
    PreviewViewer viewer_;
    RegisterPrintLogic form_;
    QComboBox* list_ = nullptr;
    QWidget* headingsFields_ = nullptr;
};

class RegisterTotalsDialog : public EntryDialog {
    Q_OBJECT
public:
    RegisterTotalsDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);
    RegisterTotalsLogic& form() { return form_; }

private:
    PreviewViewer viewer_;
    RegisterTotalsLogic form_;
};

// "Registro carichi e scarichi" and "Totali dei Registri".
inline constexpr const char* kRegisterTotalsCommand = "Action46";
void registerReportWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services);

} // namespace accise
