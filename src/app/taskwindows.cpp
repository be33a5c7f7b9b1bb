#include "app/taskwindows.h"

#include "common/dates.h"

#include "codetables/qt/codetablewindows.h"
#include "codetables/qt/exciseratesdialog.h"
#include "duty/qt/dutywindows.h"
#include "masterdata/qt/addresswindows.h"
#include "masterdata/qt/companydatadialog.h"
#include "masterdata/qt/companyproductsdialog.h"
#include "masterdata/qt/installationsettingsdialog.h"
#include "masterdata/qt/othersitesdialog.h"
#include "masterdata/qt/registersdialog.h"
#include "masterdata/qt/pathsdialog.h"
#include "masterdata/qt/webaddressesdialog.h"
#include "movements/qt/movemententrydialog.h"
#include "movements/qt/packagingdialog.h"
#include "movements/qt/registerlistwindows.h"
#include "shell/commands.h"
#include "shell/commandtable.h"
#include "shell/qt/infowindow.h"
#include "shell/qt/lookuplistdialog.h"
#include "shell/qt/mainwindow.h"
#include "shell/qt/shell.h"
#include "telematic/qt/flowcreationdialog.h"
#include "telematic/qt/flowreactivationdialog.h"

namespace accise {

namespace {

struct TaskWindowDeps {
    MainWindow& main;       // parent of the task windows; its status bar
    Prompt& prompt;         // messages and questions
    FormServices& services; // lookup list, new-code editor, desktop "open"
};

void registerAll(WindowRegistry& registry, TaskWindowDeps d) {
    namespace h = handlers;

    registry.add(h::kCompanyData, [d](CommandContext& ctx) {
        CompanyDataDialog(ctx, d.prompt, d.services, &d.main).run();
        d.main.refreshStatusBar();
    });
    registry.add(h::kApplicationPaths,
                 [d](CommandContext& ctx) { PathsDialog(ctx, d.prompt, d.services, &d.main).run(); });
    registry.add(h::kWebAddresses,
                 [d](CommandContext& ctx) { WebAddressesDialog(ctx, d.prompt, d.services, &d.main).run(); });
    registry.add(installationsettingswindow::kCommand, [d](CommandContext& ctx) {
        InstallationSettingsDialog(ctx, d.prompt, d.services, &d.main).run();
    });
    registry.add(h::kInfo, [d](CommandContext&) { InfoWindow(&d.main).exec(); });
    registry.add(h::kLink, [d](CommandContext& ctx) {
        const auto target = linkTarget(ctx.folders, ctx.tag);
        if (!target) return;
        if (target->kind == LinkTarget::Program)
            d.services.startProgram(target->text);
        else
            d.services.openAddress(target->text);
    });

    registerLookupList(registry, &d.main);
    registerCodeTableWindows(registry, &d.main, d.prompt, d.services);
    registerAddressWindows(registry, &d.main, d.prompt, d.services);       // clients and suppliers, return mode
    registerCompanyProductWindows(registry, &d.main, d.prompt, d.services); // products, return mode
    registerMovementWindows(registry, &d.main, d.prompt, d.services);       // movement entry and its changes
    registerPackagingWindow(registry, &d.main, d.prompt, d.services);
    registerDutyWindows(registry, &d.main, d.prompt, d.services);

    registry.add("APROTOCOLLO",
                 [d](CommandContext& ctx) { RegistersDialog(ctx, d.prompt, d.services, &d.main).run(); });
    registry.add("AACCISE",
                 [d](CommandContext& ctx) { ExciseRatesDialog(ctx, d.prompt, d.services, &d.main).run(); });
    registry.add("AALTRESEDI", [d](CommandContext& ctx) {
        if (auto refusal = sitesCommandRefusal(ctx.folders)) d.prompt.information(*refusal);
        else OtherSitesDialog(ctx, d.prompt, d.services, &d.main).run();
    });
    registry.add("ACREAFIRINVFLUSSO",
                 [d](CommandContext& ctx) { FlowCreationDialog(ctx, d.prompt, d.services, &d.main).run(); });
    registry.add("AAZZDATIFLUSSO",
                 [d](CommandContext& ctx) { FlowReactivationDialog(ctx, d.prompt, d.services, &d.main).run(); });
    registerRegisterListWindows(registry, &d.main, d.prompt, d.services);
    // Windows of later work register here.
}

} // namespace

void registerTaskWindows(Shell& shell) {
    registerAll(shell.registry(), TaskWindowDeps{shell.window(), shell.prompt(), shell.services()});
    shell.window().updateCommandStates();
}

bool screenshotSamples(QWidget* modal, const std::function<void(const QString& suffix)>& shoot) {
    if (auto* packaging = qobject_cast<PackagingDialog*>(modal)) {
        shoot(QString());
        // Bottles of the demo's company product, with process losses.
        const std::string day = "30/12/" + std::to_string(yearOf(todayDayNumber()) - 1);
        packaging->typeSample({{"DATMOV", day}, {"NUMDOC", "CONDIZ 999"}, {"PRODAZ", "BIONDA33"},
                               {"INTER3", "600"}, {"MCALI", "2"}, {"ANNOTA", "Imbottigliamento"}});
        shoot(QStringLiteral("-condizionamento"));
        return true;
    }
    auto* movement = qobject_cast<MovementEntryDialog*>(modal);
    if (!movement) return false;
    shoot(QString());
    const std::string day = "15/06/" + std::to_string(yearOf(todayDayNumber()) - 1);
    movement->typeSample({{"TIPMOV", "C"}, {"DATMOV", day}, {"TIPDOC", "DDT"}, {"DATDOC", day},
                          {"NUMDOC", "DDT 999"}, {"PRODDO", "M000-11071099-00-0000"}, {"TIPSTO", "S"},
                          {"CAUMOV", "105"}, {"DOUBL1_3", "800"}, {"MITDES", "IT00MIA00777M"}});
    shoot(QStringLiteral("-carico"));
    movement->typeSample({{"TIPMOV", "S"}, {"DATMOV", day}, {"TIPDOC", "DAS"}, {"DATDOC", day},
                          {"NUMDOC", "DAS 999"}, {"PRODAZ", "BIONDAFUSTO"}, {"CAUMOV", "071"},
                          {"DOUBL1_3", "100"}, {"POSFIS", "001"}, {"MITDES", "IT00TOA00999Z"}});
    shoot(QStringLiteral("-scarico"));
    return true;
}

} // namespace accise
