// A complete sample company: a tax warehouse with its four customs registers,
// products, partners, sent initial stocks and some movements of the current year,
// all written through the same operations the windows use.
#include "cli/tasks.h"

#include <ostream>

#include "cli/cliprompt.h"
#include "cli/commands.h"
#include "common/addressbook.h"
#include "common/codetables.h"
#include "common/company.h"
#include "common/dates.h"
#include "common/deliveredtables.h"
#include "common/folders.h"
#include "common/identifiers.h"
#include "common/movementfile.h"
#include "common/registers.h"
#include "common/text1252.h"

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

struct DemoRegister {
    const char* protocol;
    int type;
    std::vector<std::string> products;
    double kg, litres, plato;
};

} // namespace

int demo(const fs::path& working, std::ostream& out) {
    const Folders folders = Folders::of(working);
    folders.create();
    installDeliveredTables(folders);
    WaitingPrompt prompt(out, std::chrono::seconds(60));

    const double today = todayDayNumber();
    const int year = yearOf(today);
    const double firstDay = firstOfYear(year);
    const std::string office = firstCode(folders, "TA03", "IT079100");

    writeCompany(folders, company(office));
    const fs::path exchange = working / "FLUSSI";
    for (const char* sub : {"dafirmare", "firmati", "emcs"}) fs::create_directories(exchange / sub);
    writeApplConfig(folders, {(exchange / "FirmaVerifica").string(), (exchange / "dafirmare").string() + "/",
                              (exchange / "firmati").string() + "/", (exchange / "emcs").string() + "/"});
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
    AddressRecord guarantor = partner("IT00MIA00888G", "0444333222", "Banca di Garanzia S.p.A.", "MILANO");
    guarantor.guarantee_account = "CAUZ-2024-01";
    guarantor.bond_kind = "C";
    insertAddress(folders.addressBook('G'), guarantor, prompt);
    AddressRecord carrier = partner(" ", "0222111000", "Trasporti Veloci S.n.c.", "LODI");
    insertAddress(folders.addressBook('T'), carrier, prompt);

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
    keg.col[0] = "ROSSAFUSTO";
    keg.col[1] = "Birra rossa sfusa";
    keg.col[2] = "B000-22030010-00-0000";
    keg.col[3] = "S";
    keg.col[9] = ".bmp";
    keg.extra[0] = "PRAZ";
    keg.nums[0] = 14;
    keg.nums[4] = 6.2;
    insertTableRecord(folders.table("PRAZ"), keg, prompt);

    // The four registers, each with a sent initial stock at the start of the year.
    const std::vector<DemoRegister> registers = {
        {"101", 0, {"M000-11071099-00-0000", "M000-12102090-00-0000"}, 5000, 0, 0},
        {"102", 1, {"B000-22030000-00-0000"}, 0, 2000, 12},
        {"103", 2, {"B000-22030010-00-0000"}, 0, 3000, 12},
        {"104", 3, {"B000-22030001-00-0000"}, 0, 1000, 12},
    };
    const std::string yearText = std::to_string(year);
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
        stock.DATFLU = firstDay;
        stock.NUMFLU = 1;
        appendMovement(folders.initialStocks(), stock, false, prompt);
    }

    // Some movements of the year, dated before today.
    const auto rate = exciseRate(folders, RateMode::InForce, "IT", today);
    const double ratePerDegree = rate ? rate->nums[1] : 0;
    struct DemoMove {
        int dayOfYear;
        const char* tipmov;
        int registerIndex;
        double kg, litres, plato;
        const char* mitdes;
    };
    const std::vector<DemoMove> moves = {
        {9, "C", 0, 1200, 0, 0, "IT00MIA00777M"},
        {20, "S", 2, 0, 500, 12, "IT00RMA00555K"},
        {20, "C", 2, 0, 800, 12, "PRODUZIONE PROPRIA"},
        {40, "S", 3, 0, 330, 12, "IT00RMA00555K"},
    };
    const std::string loadDoc = firstCode(folders, "TA05C", "DAA"), unloadDoc = firstCode(folders, "TA05S", "DAA");
    const std::string loadReason = firstCode(folders, "TA21C", "009"), unloadReason = firstCode(folders, "TA21S", "010");
    int documentNumber = 1;
    for (const DemoMove& d : moves) {
        const double date = std::min(firstDay + d.dayOfYear, today);
        const DemoRegister& r = registers[static_cast<std::size_t>(d.registerIndex)];
        const bool load = std::string(d.tipmov) == "C";
        Movement m = blankMovement();
        m.TIPREC = "C";
        m.TIPOPE = "I";
        m.STATO = " ";
        m.TIPMOV = d.tipmov;
        m.DATMOV = date;
        m.TIPREG = std::string(1, registerTypeLetter(r.type));
        m.UFFDOG = office;
        m.ANNPRO = yearText;
        m.NUMPRO = r.protocol;
        m.PRODDO = r.products.front();
        m.QTAKG = d.kg;
        m.QTALIT = d.litres;
        m.GRAPLA = d.plato;
        m.ETTOGR = d.litres * d.plato / 100;
        m.TIPSTO = r.type == 3 ? "N" : "S";
        m.TIPDOC = load ? loadDoc : unloadDoc;
        m.NUMDOC = "DEMO/" + std::to_string(documentNumber++);
        m.DATDOC = date;
        m.CODPAE = "IT";
        m.MITDES = d.mitdes;
        m.CAUMOV = load ? loadReason : unloadReason;
        m.POSFIS = r.type == 0 ? "004" : "001";
        if (!load && m.ETTOGR > 0) m.ACCISA = static_cast<double>(static_cast<long long>(m.ETTOGR * ratePerDegree * 100 + 0.5)) / 100;
        m.TIPDES = "1";
        appendMovement(folders.registerFile(year), m, false, prompt);
    }

    out << "cartella dimostrativa pronta: " << fs::absolute(working).string() << "\n";
    return kOk;
}

} // namespace accise::cli
