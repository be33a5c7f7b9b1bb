#include "app/taskwindows.h"

#include "codetables/qt/codetablewindows.h"
#include "codetables/qt/exciseratesdialog.h"
#include "masterdata/qt/addresswindows.h"
#include "masterdata/qt/companydatadialog.h"
#include "masterdata/qt/companyproductsdialog.h"
#include "masterdata/qt/othersitesdialog.h"
#include "masterdata/qt/registersdialog.h"
#include "masterdata/qt/pathsdialog.h"
#include "masterdata/qt/webaddressesdialog.h"
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
    // Windows of later work register here (for example "ARECORDE", which opens
    // exciseSummaryWindow(ctx)).
}

} // namespace

void registerTaskWindows(Shell& shell) {
    registerAll(shell.registry(), TaskWindowDeps{shell.window(), shell.prompt(), shell.services()});
    shell.window().updateCommandStates();
}

} // namespace accise
