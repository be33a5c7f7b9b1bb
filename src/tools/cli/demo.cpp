// A complete sample company: a tax warehouse with its four customs registers,
// products, partners, sent initial stocks and a whole year of movements (last year),
// the movements typed into the movement window's logic as "movements import" does.
#include "cli/tasks.h"

#include <iostream>
#include <map>
#include <ostream>
#include <tuple>
#include <sstream>
#include <stdexcept>

#include "cli/cliprompt.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "cli/windowrunner.h"
#include "core/books/movementfile.h"
#include "core/files/folders.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/flow/flowfile.h"
#include "core/tables/addressbook.h"
#include "core/tables/codetables.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "core/tables/deliveredtables.h"
#include "core/tables/identifiers.h"
#include "core/tables/registers.h"
#include "logic/movements/packagingwindow.h"

namespace accise::cli {

namespace fs = std::filesystem;

namespace {

std::string validVatNumber(const std::string& firstTen) {
    for (char check = '0'; check <= '9'; ++check)
        if (isValidVatNumber(firstTen + check)) return firstTen + check;
    return firstTen + "0";
}

std::string firstCode(const Folders& folders, const char* table, const std::string& fallback) {
    const auto rows = readTable(folders.table(table));
    return rows.empty() ? fallback : rows.front().col[0];
}

std::optional<TableRecord> ta20Row(const Folders& folders, const std::string& code) {
    for (const TableRecord& row : readTable(folders.table("TA20")))
        if (row.col[0] == code) return row;
    return std::nullopt;
}

AddressRecord company(const std::string& office) {
    AddressRecord c = blankAddress();
    c.id1 = "IT00MIA00123B";
    c.name1 = "Birrificio Dimostrativo S.r.l.";
    c.vat = validVatNumber("0123456789");
    c.tax_code = c.vat;
    c.street1 = "Via del Luppolo";
    c.number1 = "12";
    c.postcode1 = "20100";
    c.city1 = "MILANO";
    c.street2 = c.tax_code; // EDI user name
    c.postcode2 = "ALCODA";
    c.city2 = "demo";
    c.user_code = "BD01";
    c.office = office;
    c.export_office = office;
    c.section = "01";
    c.guarantee_account = "GAR-0001";
    c.bond_kind = "C";
    c.auth_type = "1";
    return c;
}

AddressRecord partner(const char* excise, const char* vatFirstTen, const char* name, const char* city) {
    AddressRecord a = blankAddress();
    a.id1 = excise;
    a.id2 = validVatNumber(vatFirstTen);
    a.name1 = name;
    a.street1 = "Via Roma";
    a.number1 = "1";
    a.postcode1 = "00100";
    a.city1 = city;
    a.section = "it";
    return a;
}

// One movement as a line of "movements import".
class Line {
public:
    Line& text(const char* key, const std::string& value) {
        add(key, jsonQuote(value));
        return *this;
    }
    Line& number(const char* key, double value) {
        add(key, jsonNumber(value));
        return *this;
    }
    std::string str() const { return "{" + body_ + "}\n"; }

private:
    void add(const char* key, const std::string& json) {
        if (!body_.empty()) body_ += ",";
        body_ += jsonQuote(key) + ":" + json;
    }
    std::string body_;
};

// One month of the demo: the movements typed before the month's bottling, the
// bottling itself (typed into the packaging window) and the movements after it.
struct DemoMonth {
    std::string before;
    std::map<std::string, std::string> packaging;
    std::string after;
};

// A year of a small brewery, month by month: malt and hops bought and sent to the
// brewhouse, a brew of 5 000 litres at 12 degrees Plato, its beer bottled (through the
// packaging window, with the process losses) and kegged, bottles sold to a distributor
// and over the counter, kegs sold to a pub, and every quarter a shipment in suspension
// to Germany.
std::vector<DemoMonth> demoYear(int year) {
    std::vector<DemoMonth> months;
    const auto day = [year](int d, int month) { return formatDate(dayNumber(year, month, d)); };
    const std::string yy = std::to_string(year).substr(2);
    for (int month = 1; month <= 12; ++month) {
        DemoMonth m;
        std::string& lines = m.before;
        const std::string n = std::to_string(month);
        const auto doc = [&](const char* prefix) { return std::string(prefix) + " " + n + "/" + std::to_string(year); };
        // Raw materials: bought by weight, sent to the brewhouse.
        lines += Line().text("TIPMOV", "C").text("DATMOV", day(3, month)).text("TIPDOC", "DDT")
                     .text("DATDOC", day(2, month)).text("NUMDOC", doc("DDT MP")).text("PRODDO", "M000-11071099-00-0000")
                     .text("TIPSTO", "S").text("CAUMOV", "105").number("QTA", 1200).text("CODPAE", "IT")
                     .text("MITDES", "IT00MIA00777M").str();
        if (month % 3 == 1)
            lines += Line().text("TIPMOV", "C").text("DATMOV", day(4, month)).text("TIPDOC", "DDT")
                         .text("DATDOC", day(4, month)).text("NUMDOC", doc("DDT LAA")).text("PRODDO", "M000-12102090-00-0000")
                         .text("TIPSTO", "S").text("CAUMOV", "105").number("QTA", 50).text("CODPAE", "IT")
                         .text("MITDES", "IT00BZA00321H").str();
        lines += Line().text("TIPMOV", "S").text("DATMOV", day(5, month)).text("TIPDOC", "VIA")
                     .text("DATDOC", day(5, month)).text("NUMDOC", doc("COTTA")).text("PRODDO", "M000-11071099-00-0000")
                     .text("TIPSTO", "S").text("CAUMOV", "030").number("QTA", 1000).text("CODPAE", "IT").str();
        lines += Line().text("TIPMOV", "S").text("DATMOV", day(5, month)).text("TIPDOC", "VIA")
                     .text("DATDOC", day(5, month)).text("NUMDOC", doc("COTTA")).text("PRODDO", "M000-12102090-00-0000")
                     .text("TIPSTO", "S").text("CAUMOV", "030").number("QTA", 15).text("CODPAE", "IT").str();
        // The brew: loaded in process, excise suspended; the litre counter of the brewhouse.
        Line brew;
        brew.text("TIPMOV", "C").text("DATMOV", day(6, month)).text("TIPDOC", "VIA").text("DATDOC", day(6, month))
            .text("NUMDOC", doc("COTTA")).text("PRODDO", "B000-22030000-00-0000").text("TIPSTO", "S")
            .number("GRAPLA", 12).text("CAUMOV", "109").number("QTA", 5000);
        if (month == 1) brew.number("CONTIN", 120000); // later brews start from the last reading
        brew.text("POSFIS", "002").text("CODPAE", "IT");
        lines += brew.str();
        // Out of process to kegs.
        lines += Line().text("TIPMOV", "S").text("DATMOV", day(20, month)).text("TIPDOC", "VIA")
                     .text("DATDOC", day(20, month)).text("NUMDOC", doc("CONDIZ")).text("PRODDO", "B000-22030000-00-0000")
                     .text("TIPSTO", "S").number("GRAPLA", 12).text("CAUMOV", "010").number("QTA", 2000)
                     .text("POSFIS", "002").text("CODPAE", "IT").str();
        // Bottled: 8 700 bottles of 0,33 l out of process, with 129 litres of losses.
        m.packaging = {{"DATMOV", day(20, month)}, {"NUMDOC", doc("CONDIZ")}, {"PRODAZ", "BIONDA33"},
                       {"INTER3", "8700"},         {"MCALI", "129"},          {"POSFIS", "003"}};
        std::string& after = m.after;
        // Kegs loaded: 2 000 litres.
        after += Line().text("TIPMOV", "C").text("DATMOV", day(21, month)).text("TIPDOC", "VIA")
                     .text("DATDOC", day(21, month)).text("NUMDOC", doc("INFUSTAM")).text("PRODAZ", "BIONDAFUSTO")
                     .text("CAUMOV", "114").number("QTA", 2000).text("POSFIS", "002").text("CODPAE", "IT").str();
        // Sales released for consumption: the excise is declared in the summary of taxes.
        for (const auto& [d, bottles] : {std::pair{10, 4000.0}, std::pair{24, 4000.0}}) {
            std::string& into = d < 20 ? lines : after;
            into += Line().text("TIPMOV", "S").text("DATMOV", day(d, month)).text("TIPDOC", "DAS")
                        .text("DATDOC", day(d, month)).text("NUMDOC", doc(d == 10 ? "DAS A" : "DAS B"))
                        .text("PRODAZ", "BIONDA33").text("CAUMOV", "071").number("NUMCON", bottles)
                        .text("POSFIS", "001").text("CODPAE", "IT").text("MITDES", "IT00RMA00555K").str();
        }
        after += Line().text("TIPMOV", "S").text("DATMOV", day(26, month)).text("TIPDOC", "SCF")
                     .text("PRODAZ", "BIONDA33").text("CAUMOV", "071").number("NUMCON", 300).text("POSFIS", "001")
                     .text("CODPAE", "IT").text("ANNOTA", "Vendite al banco dello spaccio").str();
        after += Line().text("TIPMOV", "S").text("DATMOV", day(27, month)).text("TIPDOC", "DAS")
                     .text("DATDOC", day(27, month)).text("NUMDOC", doc("DAS F")).text("PRODAZ", "BIONDAFUSTO")
                     .text("CAUMOV", "071").number("QTA", 1500).text("POSFIS", "001").text("CODPAE", "IT")
                     .text("MITDES", "IT00TOA00999Z").str();
        // A shipment in suspension to Germany under an e-AD, with its guarantee.
        if (month % 3 == 0) {
            const std::string arc = yy + "IT00MIA00123B" + std::string(month < 10 ? "0" : "") + n + "0000";
            after += Line().text("TIPMOV", "S").text("DATMOV", day(28, month)).text("TIPDOC", "EAD")
                         .text("DATDOC", day(28, month)).text("NUMDOC", arc).text("NILODD", "BD01-" + yy + "-" + n)
                         .number("NUMCPR", 1).text("PRODAZ", "BIONDAFUSTO").text("CAUMOV", "002").number("QTA", 400)
                         .text("POSFIS", "002").text("CODPAE", "DE").text("MITDES", "DE00123456789").str();
        }
        months.push_back(std::move(m));
    }
    return months;
}

// Types a packaging into the packaging window's logic and confirms it, as a clerk would.
void typePackaging(const Folders& folders, const std::map<std::string, std::string>& values) {
    WaitingPrompt waiting(std::cerr, std::chrono::seconds(60));
    WindowPrompt prompt(waiting);
    NoWindows services;
    CommandContext ctx(folders);
    if (const auto company = readCompany(folders)) {
        ctx.company = *company;
        ctx.alcopp = isAlcopp(*company);
    }
    PackagingLogic window(ctx, prompt, services);
    window.open();
    prompt.messages.clear();
    auto failed = window.typeFields(values);
    if (!failed) failed = window.confirmChecks();
    if (!failed) window.confirmPressed();
    if (failed || !window.lastSave()) {
        std::string why;
        for (const std::string& m : prompt.messages) why += " " + m;
        throw std::runtime_error("condizionamento dimostrativo del " + values.at("DATMOV") + " rifiutato" +
                                 (failed ? " (" + *failed + ")" : std::string()) + ":" + why);
    }
}

struct DemoRegister {
    const char* protocol;
    int type;
    std::vector<std::string> products;
    double kg, litres, plato;
};

} // namespace

int demo(const fs::path& workingAsTyped, std::ostream& out) {
    // The paths written into APPL.CFG are absolute: they hold from any directory.
    const fs::path working = fs::absolute(workingAsTyped).lexically_normal();
    const Folders folders = Folders::of(working);
    folders.create();
    installDeliveredTables(folders);
    WaitingPrompt prompt(out, std::chrono::seconds(60));

    // The books run from 1 January of last year: a whole year of movements lies behind today.
    const int year = yearOf(todayDayNumber());
    const double firstDay = firstOfYear(year - 1);
    const std::string office = firstCode(folders, "TA03", "IT079100");

    writeCompany(folders, company(office));
    const fs::path exchange = working / "FLUSSI";
    for (const char* sub : {"dafirmare", "firmati", "emcs"}) fs::create_directories(exchange / sub);
    // Relative to the working folder, where every reader takes them from
    // (resolvedApplPaths): the folder may be moved, or reached through a share, and a
    // folder name outside ASCII stays in the system's own form.
    writeApplConfig(folders, {"FLUSSI/FirmaVerifica", "FLUSSI/dafirmare/", "FLUSSI/firmati/", "FLUSSI/emcs/"});
    writeWebConfig(folders, {"https://ec.europa.eu/taxation_customs/dds2/seed/seed_home.jsp",
                             "https://ec.europa.eu/taxation_customs/dds2/col/col_home.jsp",
                             "https://ec.europa.eu/taxation_customs/tedb/",
                             "https://www.adm.gov.it/portale/servizi-online",
                             "https://www.adm.gov.it/portale/emcs",
                             "https://www.adm.gov.it/portale/ambiente-di-prova",
                             "https://www.adm.gov.it/portale/emcs-prova",
                             "https://www.adm.gov.it/"});

    // Partners.
    const AddressRecord supplier = partner("IT00MIA00777M", "0987654321", "Malteria Padana S.p.A.", "PAVIA");
    const AddressRecord client = partner("IT00RMA00555K", "0555444333", "Distribuzione Bevande Roma S.r.l.", "ROMA");
    insertAddress(folders.addressBook('F'), supplier, prompt);
    insertAddress(folders.addressBook('F'), partner("IT00BZA00321H", "0777666555", "Luppoli Alto Adige", "BOLZANO"), prompt);
    insertAddress(folders.addressBook('C'), client, prompt);
    insertAddress(folders.addressBook('C'), partner("IT00TOA00999Z", "0111222333", "Birreria Torinese", "TORINO"), prompt);
    AddressRecord munich = partner("DE00123456789", "0999888777", "Bierhandel München GmbH", "MUENCHEN");
    munich.section = "de";
    insertAddress(folders.addressBook('C'), munich, prompt);
    AddressRecord guarantor = partner("IT00MIA00888G", "0444333222", "Banca di Garanzia S.p.A.", "MILANO");
    guarantor.guarantee_account = "CAUZ-2024-01";
    guarantor.bond_kind = "C";
    insertAddress(folders.addressBook('G'), guarantor, prompt);
    AddressRecord carrier = partner(" ", "0222111000", "Trasporti Veloci S.n.c.", "LODI");
    insertAddress(folders.addressBook('T'), carrier, prompt);

    // The German rate, for the guarantee of the shipments in suspension to Germany.
    TableRecord german = blankTable();
    german.col[kRateCountryCol] = "DE";
    german.col[kRateChapterCol] = "1402";
    german.extra[0] = "ACCISE";
    german.nums[kRateDateNum] = dayNumber(2004, 1, 1);
    german.nums[kRateAmountNum] = 0.787;
    insertExciseRate(folders, german, prompt);

    // Company products: a bottle and a keg.
    TableRecord bottle = blankTable();
    bottle.col[0] = "BIONDA33";
    bottle.col[1] = "Birra bionda in bottiglia da 0,33 l";
    bottle.col[2] = "B000-22030001-00-0000";
    bottle.col[3] = "N";
    bottle.col[5] = "BO";
    bottle.col[9] = ".bmp";
    bottle.extra[0] = "PRAZ";
    bottle.ints[0] = 24;
    bottle.nums = {12, 0.33, 0.55, 12 * 0.33 / 100, 5.0};
    insertTableRecord(folders.table("PRAZ"), bottle, prompt);
    TableRecord keg = blankTable();
    keg.col[0] = "BIONDAFUSTO";
    keg.col[1] = "Birra bionda in fusti da 30 l";
    keg.col[2] = "B000-22030010-00-0000";
    keg.col[3] = "S";
    keg.col[9] = ".bmp";
    keg.extra[0] = "PRAZ";
    keg.nums[0] = 12;
    keg.nums[4] = 5.0;
    insertTableRecord(folders.table("PRAZ"), keg, prompt);

    // The four registers, each with a sent initial stock at the start of the year.
    const std::vector<DemoRegister> registers = {
        {"101", 0, {"M000-11071099-00-0000", "M000-12102090-00-0000"}, 3000, 0, 0},
        {"102", 1, {"B000-22030000-00-0000"}, 0, 1000, 12},
        {"103", 2, {"B000-22030010-00-0000"}, 0, 2000, 12},
        {"104", 3, {"B000-22030001-00-0000"}, 0, 1500, 12},
    };
    const std::string yearText = std::to_string(year - 1);
    std::vector<Movement> firstFlow;
    for (const DemoRegister& r : registers) {
        TableRecord reg = blankTable();
        reg.col[0] = r.protocol;
        reg.col[1] = office;
        reg.col[2] = std::string("Registro ") + std::string(registerTypeName(r.type));
        reg.col[3] = office + " protocollo n. " + r.protocol + " del " + formatDate(firstDay);
        reg.extra[0] = "PROTOCOLLI";
        reg.ints[0] = r.type;
        reg.nums[0] = firstDay;
        reg.nums[1] = firstDay;
        reg.nums[2] = lastOfYear(year);
        std::vector<TableRecord> products;
        for (const std::string& code : r.products)
            if (auto row = ta20Row(folders, code)) products.push_back(*row);
        saveRegister(folders, reg, products, prompt);

        Movement stock = blankMovement();
        stock.TIPREC = "C";
        stock.TIPOPE = "I";
        stock.TIPMOV = "G";
        stock.STATO = " ";
        stock.DATMOV = firstDay;
        stock.TIPREG = std::string(1, registerTypeLetter(r.type));
        stock.UFFDOG = office;
        stock.ANNPRO = yearText;
        stock.NUMPRO = r.protocol;
        stock.QTAKG = r.kg;
        stock.QTALIT = r.litres;
        stock.ETTOGR = r.litres * r.plato / 100;
        stock.ANNOTA = "Giacenza iniziale";
        stock.DATFLU = firstDay + 14; // sent in the first flow of the year
        stock.NUMFLU = 1;
        appendMovement(folders.initialStocks(), stock, false, prompt);
        firstFlow.push_back(stock);
    }
    // The first flow's file, which carries the four initial stocks marked with it.
    const std::string flowName = flowFileName(trimmed(company(office).user_code), 1, firstDay + 14);
    writeWholeFile(exchange / "dafirmare" / flowName, flowFileBytes(FlowCompany::of(company(office)), flowName, firstFlow));

    // A year of the brewery, typed into the movement window through "movements import"
    // and, for the bottling, into the packaging window.
    const auto importLines = [&](const std::string& movements) {
        std::istringstream lines(movements);
        std::ostringstream accepted, refused;
        if (importMovements(working, false, std::chrono::seconds(60), lines, accepted, refused) != kOk)
            throw std::runtime_error("movimenti dimostrativi rifiutati:\n" + refused.str());
    };
    for (const DemoMonth& month : demoYear(year - 1)) {
        importLines(month.before);
        typePackaging(folders, month.packaging);
        importLines(month.after);
    }
    out << "cartella dimostrativa pronta: " << fs::absolute(working).string() << "\n";
    return kOk;
}

} // namespace accise::cli
