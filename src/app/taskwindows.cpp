#include "app/taskwindows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include "core/books/initialstock.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/reports/booksaudit.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/registers.h"
#include "qt/shell/screenshottour.h"

#include "logic/movements/initialstockcommand.h"
#include "logic/shell/commands.h"
#include "logic/shell/commandtable.h"
#include "qt/codetables/codetablewindows.h"
#include "qt/codetables/exciseratesdialog.h"
#include "qt/duty/dutywindows.h"
#include "qt/masterdata/addresswindows.h"
#include "qt/masterdata/companydatadialog.h"
#include "qt/masterdata/companyproductsdialog.h"
#include "qt/masterdata/installationsettingsdialog.h"
#include "qt/telematic/flowhistorydialog.h"
#include "qt/telematic/servicesettingsdialog.h"
#include "qt/masterdata/othersitesdialog.h"
#include "qt/masterdata/pathsdialog.h"
#include "qt/masterdata/registersdialog.h"
#include "qt/masterdata/webaddressesdialog.h"
#include "qt/movements/brewdialog.h"
#include "qt/movements/movemententrydialog.h"
#include "qt/movements/packagingdialog.h"
#include "qt/movements/registerlistwindows.h"
#include "qt/reportwindows/booksauditdialog.h"
#include "qt/reportwindows/reportdialogs.h"
#include "qt/reportwindows/searchdialogs.h"
#include "qt/shell/infowindow.h"
#include "qt/shell/lookuplistdialog.h"
#include "qt/shell/mainwindow.h"
#include "qt/shell/shell.h"
#include "qt/telematic/agencyclient.h"
#include "qt/telematic/flowcreationdialog.h"
#include "qt/telematic/flowreactivationdialog.h"
#include "qt/telematic/transmissiondialog.h"

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
    registry.add(servicesettingswindow::kCommand, [d](CommandContext& ctx) {
        ServiceSettingsDialog(ctx, d.prompt, d.services, &d.main).run();
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
    registerBrewWindow(registry, &d.main, d.prompt, d.services);
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
    // Opened by the flow creation window once the signing tool has started.
    registry.add(kTransmissionWindow, [d](CommandContext& ctx) {
        QtAgencyService agency(ctx.folders);
        TransmissionDialog dialog(ctx, d.prompt, d.services, agency, &d.main);
        agency.busyChanged = [&dialog](bool busy) { dialog.setBusy(busy); };
        dialog.run();
    });
    // The year's flows: send, outcome asked again, outcome report, reactivation.
    registry.add(kFlowHistoryWindow, [d](CommandContext& ctx) {
        QtAgencyService agency(ctx.folders);
        FlowHistoryDialog(ctx, d.prompt, d.services, agency, &d.main).run();
    });
    registerRegisterListWindows(registry, &d.main, d.prompt, d.services);
    registerSearchWindows(registry, &d.main, d.prompt, d.services);
    registerReportWindows(registry, &d.main, d.prompt, d.services); // printed register, register totals
    registerBooksAuditWindow(registry, &d.main, d.prompt, d.services); // "Controllo dei registri"
    // Windows of later work register here.
}

} // namespace

void registerTaskWindows(Shell& shell) {
    registerAll(shell.registry(), TaskWindowDeps{shell.window(), shell.prompt(), shell.services()});
    // The page of where the books stand gives the audit's verdict, and Enter on it
    // opens "Controllo dei registri" (ACONTROLLO).
    CommandContext* ctx = &shell.context();
    shell.window().setBooksAudit([ctx]() -> std::optional<int> { return booksProblemCount(ctx->folders); });
    shell.window().updateCommandStates();
}

namespace {

// The search windows run on last year's data of the demo folder, and their preview is
// saved beside the window (the preview is closed once it has been painted).
bool searchSamples(QWidget* modal, const std::function<void(const QString& suffix, QWidget* widget)>& shoot) {
    auto* dialog = qobject_cast<EntryDialog*>(modal);
    if (!dialog) return false;
    const QString name = dialog->objectName();
    if (name != QLatin1String("TFRICREGC") && name != QLatin1String("TFRICREGDER") &&
        name != QLatin1String("TFRICGIACENZE"))
        return false;
    shoot(QString(), nullptr);
    const std::string year = std::to_string(yearOf(todayDayNumber()) - 1);
    EntryFormLogic& form = dialog->logic();
    if (name == QLatin1String("TFRICREGDER")) {
        form.setValue("MDADA", "01/" + year);
    } else {
        form.setValue("MDADA", (name == QLatin1String("TFRICGIACENZE") ? "01/01/2009" : "01/01/" + year));
        form.setValue("MDAAL", "31/12/" + year);
    }
    dialog->pushValues();
    // The preview runs its own event loop inside the click: a timer watches for it.
    QTimer watch;
    watch.setInterval(500);
    QObject::connect(&watch, &QTimer::timeout, dialog, [&watch, shoot] {
        if (auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
            watch.stop();
            // A virtual display has no window manager to maximise it.
            if (QScreen* screen = preview->screen()) preview->setGeometry(screen->availableGeometry());
            shoot(QStringLiteral("-anteprima"), preview);
            preview->reject();
        }
    });
    watch.start();
    dialog->confirmButton()->setFocus();
    dialog->confirmButton()->click();
    watch.stop();
    return true;
}

// Confirms a report window and pictures its preview once drawn, then closes it.
void shootPreview(EntryDialog* dialog, const std::function<void(const QString& suffix, QWidget* widget)>& shoot) {
    QTimer::singleShot(1500, dialog, [shoot] {
        if (auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
            if (QScreen* screen = preview->screen()) preview->setGeometry(screen->availableGeometry());
            shoot(QStringLiteral("-anteprima"), preview);
            preview->reject();
        }
    });
    dialog->confirmButton()->click();
}

// What the tour's transmission window is told: nothing shown, every question No.
class SilentPrompt : public Prompt {
public:
    void information(const std::string&) override {}
    bool question(const std::string&) override { return false; }
};

// A service that accepts the file and returns an outcome with a warning and an error.
class SampleAgency : public AgencyService {
public:
    AgencyReply put(AgencyEnvironment, const std::optional<AgencyCredentials>&, const std::string& name,
                    const std::string&) override {
        return {true, "File " + name + " ricevuto con successo", {}, {}};
    }
    AgencyReply get(AgencyEnvironment, const std::optional<AgencyCredentials>&, const std::string&) override {
        return {true, "", std::string("ESEMPIOALCODA0315  IT00ABC 000000000123456" "0 FLUSSO ELABORATO\r\n"
                                      " SGIACENZA DEL REGISTRO 1 NON COERENTE\r\n"
                                      " ERIGA 3: CODICE ACCISA NON VALIDO\r\n"), {}};
    }
};

bool transmissionSamples(TransmissionDialog& dialog, const std::function<void(const QString& suffix, QWidget* widget)>& shoot) {
    shoot(QString(), nullptr); // waiting for the signed file
    const fs::path file = dialog.form().signedPath();
    std::error_code error;
    if (!fs::is_directory(file.parent_path(), error) || file.parent_path().empty() || fs::exists(file, error))
        return true;
    writeWholeFile(file, "esempio");
    QElapsedTimer waited;
    waited.start();
    while (!dialog.form().choiceShown() && waited.elapsed() < 3000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    shoot(QStringLiteral("-firmato"), nullptr);
    if (auto* test = dialog.findChild<QRadioButton*>(QStringLiteral("RPROVA"))) test->click();
    dialog.confirmButton()->click();
    shoot(QStringLiteral("-esito"), nullptr);
    fs::remove(file, error);
    return true;
}

} // namespace

void registerScreenshotWindows(Shell& shell, ScreenshotTour& tour) {
    // The transmission window of a sample flow, answered by a sample service: a
    // confirmed flow opens it, which the tour does not do.
    constexpr std::string_view kTourTransmission = "TFTELEMATICO_ESEMPIO";
    MainWindow* main = &shell.window();
    FormServices* services = &shell.services();
    shell.registry().add(kTourTransmission, [main, services](CommandContext& ctx) {
        SilentPrompt prompt;
        SampleAgency agency;
        const std::string user = trimmed(ctx.company.user_code);
        ctx.flowFileName = (user.empty() ? std::string("ESEM") : user) + "0315.C99";
        TransmissionDialog dialog(ctx, prompt, *services, agency, main);
        dialog.run();
    });

    // The initial stock window, which the menu reaches only once a register is
    // chosen: on the first register, as a new initial stock.
    tour.addExtraWindow({QStringLiteral("TFGIACENZA"), std::string(kInitialStockWindow), [](CommandContext& ctx) {
                             const fs::path table = ctx.folders.table(kRegistersTable);
                             const auto registers =
                                 fileExists(table) ? readTable(table) : std::vector<TableRecord>{};
                             if (registers.empty()) return false;
                             ctx.mode = 'G';
                             ctx.chosenRegister = registers.front();
                             ctx.movementBuffer = initialStockBufferFor(registers.front());
                             return true;
                         }});
    tour.addExtraWindow({QStringLiteral("TFTELEMATICO"), std::string(kTourTransmission),
                         [](CommandContext&) { return true; }});
}

bool screenshotSamples(QWidget* modal, const std::function<void(const QString& suffix, QWidget* widget)>& shoot) {
    if (searchSamples(modal, shoot)) return true;
    if (auto* packaging = qobject_cast<PackagingDialog*>(modal)) {
        shoot(QString(), nullptr);
        // Bottles of the demo's company product, with process losses.
        const std::string day = "30/12/" + std::to_string(yearOf(todayDayNumber()) - 1);
        packaging->typeSample({{"DATMOV", day}, {"NUMDOC", "CONDIZ 999"}, {"PRODAZ", "BIONDA33"},
                               {"INTER3", "600"}, {"MCALI", "2"}, {"ANNOTA", "Imbottigliamento"}});
        shoot(QStringLiteral("-condizionamento"), nullptr);
        return true;
    }
    if (auto* brew = qobject_cast<BrewDialog*>(modal)) {
        shoot(QString(), nullptr);
        // A brew of the demo's year: malt and hops from the grid, 5 000 litres at 12 degrees.
        const std::string day = "15/06/" + std::to_string(yearOf(todayDayNumber()) - 1);
        brew->typeSample({{"DATMOV", day}, {"NUMDOC", "COTTA 99"}, {"DOUBL1_3", "5000"}, {"DOUBL5", "12"},
                          {"ANNOTA", "Bionda"}},
                         {{"M000-11071099-00-0000", "1000"}, {"M000-12102090-00-0000", "15"}});
        shoot(QStringLiteral("-cotta"), nullptr);
        return true;
    }
    // The printed register and the totals on last year's demo movements, with their previews.
    const std::string lastYear = std::to_string(yearOf(todayDayNumber()) - 1);
    if (auto* print = qobject_cast<RegisterPrintDialog*>(modal)) {
        shoot(QString(), nullptr);
        print->form().setValue("MDADA", "01/06/" + lastYear);
        print->form().setValue("MDAAL", "30/06/" + lastYear);
        print->form().leave("MDAAL");
        const auto& listed = print->form().listedRegisters();
        for (std::size_t i = 0; i < listed.size(); ++i)
            if (listed[i].ints[kRegTypeInt] == 2) print->form().setValue("ELENCO", std::to_string(i));
        print->form().setValue("IDAPAG", "1");
        print->pushValues();
        shoot(QStringLiteral("-compilato"), nullptr);
        shootPreview(print, shoot);
        return true;
    }
    if (auto* totals = qobject_cast<RegisterTotalsDialog*>(modal)) {
        shoot(QString(), nullptr);
        totals->form().setValue("MDAAL", "30/06/" + lastYear);
        totals->pushValues();
        shootPreview(totals, shoot);
        return true;
    }
    if (auto* transmission = qobject_cast<TransmissionDialog*>(modal)) return transmissionSamples(*transmission, shoot);
    auto* movement = qobject_cast<MovementEntryDialog*>(modal);
    if (!movement) return false;
    shoot(QString(), nullptr);
    const std::string day = "15/06/" + std::to_string(yearOf(todayDayNumber()) - 1);
    movement->typeSample({{"TIPMOV", "C"}, {"DATMOV", day}, {"TIPDOC", "DDT"}, {"DATDOC", day},
                          {"NUMDOC", "DDT 999"}, {"PRODDO", "M000-11071099-00-0000"}, {"TIPSTO", "S"},
                          {"CAUMOV", "105"}, {"DOUBL1_3", "800"}, {"MITDES", "IT00MIA00777M"}});
    shoot(QStringLiteral("-carico"), nullptr);
    movement->typeSample({{"TIPMOV", "S"}, {"DATMOV", day}, {"TIPDOC", "DAS"}, {"DATDOC", day},
                          {"NUMDOC", "DAS 999"}, {"PRODAZ", "BIONDAFUSTO"}, {"CAUMOV", "071"},
                          {"DOUBL1_3", "100"}, {"POSFIS", "001"}, {"MITDES", "IT00TOA00999Z"}});
    shoot(QStringLiteral("-scarico"), nullptr);
    return true;
}

} // namespace accise
