#include "logic/shell/commandtable.h"

#include <array>

namespace accise {
namespace {

using P = MenuPage;
using F = ChangeFlags;
namespace h = handlers;

// Builders keep the table readable: one line per menu entry.
constexpr CommandEntry cmd(P page, std::string_view menu, std::string_view caption, std::string_view action,
                           std::optional<int> tag, std::string_view handler) {
    CommandEntry e{};
    e.page = page;
    e.menu = menu;
    e.caption = caption;
    e.action = action;
    e.tag = tag;
    e.handler = handler;
    return e;
}
constexpr CommandEntry ready(CommandEntry e) {
    e.ready = true;
    return e;
}
constexpr CommandEntry mode(CommandEntry e, char m) {
    e.mode = m;
    return e;
}
constexpr CommandEntry table(CommandEntry e, std::string_view t) {
    e.table = t;
    return e;
}
constexpr CommandEntry continuous(CommandEntry e, bool on) {
    e.continuousEntry = on;
    return e;
}
constexpr CommandEntry flags(CommandEntry e, ChangeFlags f) {
    e.flags = f;
    return e;
}
constexpr CommandEntry codeTable(CommandEntry e) {
    e.tableFromTag = true;
    return e;
}
constexpr CommandEntry flowYear(CommandEntry e) {
    e.setsFlowYear = true;
    return e;
}

// Every menu and entry has its Alt letter, none repeated within one bar or menu. The
// brew's own letters are all taken in its menu: its letter is B (birra) in brackets.
constexpr std::string_view kCompanyMenu = "&Dati Aziendali";
constexpr std::string_view kAddressMenu = "I&ndirizzario";
constexpr std::string_view kTablesMenu = "&Codici e Tabelle";
constexpr std::string_view kConfigMenu = "C&onfigurazione";
constexpr std::string_view kStockMenu = "G&iacenze iniziali";
constexpr std::string_view kMovementMenu = "&Carichi e scarichi";
constexpr std::string_view kDutyMenu = "&Tributi";
constexpr std::string_view kFlowMenu = "&Flussi telematici";
constexpr std::string_view kRegistersMenu = "&Registri";

constexpr P G = P::GeneralData;
constexpr P R = P::Register;
constexpr std::nullopt_t none = std::nullopt;

constexpr std::array kCommands{
    // ---- "Dati Generali" ----
    ready(
        continuous(mode(table(cmd(G, kCompanyMenu, "&Registri Doganali", "APROTOCOLLO", none, "APROTOCOLLO"),
                              "PROTOCOLLI"),
                        'T'),
                   false)),
    continuous(cmd(G, kCompanyMenu, "&Prodotti dell'Azienda", "AVINI", none, "AVINI"), true),
    cmd(G, kCompanyMenu, "&Dati dell'Azienda", "AAZIENDA", none, h::kCompanyData),
    cmd(G, kCompanyMenu, "&Altre Sedi Autorizzate (002...)", "AALTRESEDI", none, "AALTRESEDI"),

    continuous(
        table(cmd(G, kAddressMenu, "&Inserisce Clienti", "AINSDEST", 9, h::kAddressInsert), "INDIRIZZI_C"),
        true),
    table(cmd(G, kAddressMenu, "&Modifica Clienti", "AMODDESTIN", 9, h::kAddressModify), "INDIRIZZI_C"),
    table(cmd(G, kAddressMenu, "&Cancella Clienti", "ACANCDESTIN", 9, h::kAddressDelete), "INDIRIZZI_C"),
    continuous(table(cmd(G, kAddressMenu, "I&nserisce Fornitori ", "AINSFORNITORI", 3, h::kAddressInsert),
                     "INDIRIZZI_F"),
               true),
    table(cmd(G, kAddressMenu, "M&odifica Fornitori ", "AMODFORNITORI", 3, h::kAddressModify), "INDIRIZZI_F"),
    table(cmd(G, kAddressMenu, "C&ancella Fornitori ", "ACANCFORNITORI", 3, h::kAddressDelete),
          "INDIRIZZI_F"),

    continuous(table(cmd(G, kTablesMenu, "&Codici prodotti  (TA20)", "ATA20", none, "ATA20"), "TA20"), true),
    cmd(G, kTablesMenu, "Importi e c&apitoli accise", "AACCISE", none, "AACCISE"),
    codeTable(cmd(G, kTablesMenu, "&Lingue  (T001)", "AT001", 1, h::kCodeTableEditor)),
    codeTable(cmd(G, kTablesMenu, "S&tati  (T004)", "AT004", 4, h::kCodeTableEditor)),
    codeTable(cmd(G, kTablesMenu, "Im&ballaggi  (T010)", "AT010", 10, h::kCodeTableEditor)),
    codeTable(cmd(G, kTablesMenu, "&Uffici Doganali  (TA03)", "ATA03", 3, h::kCodeTableEditor)),
    codeTable(cmd(G, kTablesMenu, "Docume&nti per Carico  (TA05 c)", "ATA05", 205, h::kCodeTableEditor)),
    codeTable(cmd(G, kTablesMenu, "&Documenti per Scarico (TA05 s)", "Action9", 305, h::kCodeTableEditor)),
    codeTable(cmd(G, kTablesMenu, "Causali per il Carico (TA&21 c)", "ATA21C", 121, h::kCodeTableEditor)),
    codeTable(cmd(G, kTablesMenu, "Causali per lo Scarico (TA2&1 s)", "ATA21S", 221, h::kCodeTableEditor)),

    cmd(G, kConfigMenu, "&Percorsi per le Applicazioni", "APERAPPL", none, h::kApplicationPaths),
    cmd(G, kConfigMenu, "&Indirizzi Web", "AWEB", none, h::kWebAddresses),
    cmd(G, kConfigMenu, "Impostazioni dell'i&mpianto", "AIMPIANTO", none, "AIMPIANTO"),
    cmd(G, kConfigMenu, "Servizio &telematico", "ASERVIZIO", none, "ASERVIZIO"),

    cmd(G, "", "&Info", "AINFO", none, h::kInfo),

    // ---- "Registro" ----
    mode(table(cmd(R, kStockMenu, "&Giacenza iniziale di un registro", "Action17", none, "Action17"),
               "PROTOCOLLI"),
         'G'),
    mode(cmd(R, kStockMenu, "&Cancella giacenza non inviata", "Action18", 30, h::kCancellation), 'I'),
    cmd(R, kStockMenu, "&Ricerca giacenze", "Action19", none, h::kStockSearch),
    ready(flags(
        mode(cmd(R, kStockMenu, "Re&ttifica: annulla giacenza inviata", "AGIACENZE", 1, h::kStockCorrection),
             'I'),
        F::CorrectionCancel)),
    ready(flags(
        mode(cmd(R, kStockMenu, "R&ettifica: modifica giacenza inviata", "Action20", 2, h::kStockCorrection),
             'i'),
        F::CorrectionModify)),
    mode(cmd(R, kStockMenu, "C&ancella rettifica non inviata", "Action21", 31, h::kCancellation), 'i'),

    ready(
        flags(cmd(R, kMovementMenu, "&Inserisce movimento", "AINSSCARICO", 11, "AINSSCARICO"), F::ClearAll)),
    ready(cmd(R, kMovementMenu, "Cotta (&B)", "Action45", none, "Action45")),
    ready(cmd(R, kMovementMenu, "Con&dizionamento", "Action48", none, "Action48")),
    ready(
        flags(mode(cmd(R, kMovementMenu, "&Modifica movimento", "AMODSCARICO", 12, h::kMovementChange), 'M'),
              F::Modify)),
    mode(cmd(R, kMovementMenu, "&Cancella movimento", "ACANCSCARICO", 13, h::kCancellation), 'C'),
    mode(cmd(R, kMovementMenu, "Ricerca m&ovimenti di carico", "Action35", 4, h::kRegisterSearch), 'C'),
    mode(cmd(R, kMovementMenu, "&Ricerca movimenti di scarico", "ARICSCARICHI", 14, h::kRegisterSearch), 'S'),
    ready(flags(
        mode(cmd(R, kMovementMenu, "R&ettifica: annulla movimento", "ARETTSCARICO", 16, h::kMovementChange),
             'E'),
        F::CorrectionCancel)),
    ready(flags(
        mode(cmd(R, kMovementMenu, "Re&ttifica: modifica movimento", "Action2", 17, h::kMovementChange), 'e'),
        F::CorrectionModify)),
    mode(cmd(R, kMovementMenu, "C&ancella rettifica non inviata", "ACANCRETTSCAR", 18, h::kCancellation),
         'c'),

    ready(continuous(
        mode(cmd(R, kDutyMenu, "&Crediti / Riaccrediti (record: D)", "AINSCREDITI", none, "AINSCREDITI"),
             'I'),
        false)),
    ready(continuous(
        mode(cmd(R, kDutyMenu, "&Riepilogo dell'accisa (record: E)", "ARECORDE", none, "ARECORDE"), 'I'),
        false)),
    ready(continuous(mode(cmd(R, kDutyMenu, "Ra&vvedimento (record: R)", "Action43", none, "Action43"), 'I'),
                     false)),
    ready(continuous(mode(cmd(R, kDutyMenu, "&Garanzie (record: F)", "AGARANZIE", none, "AGARANZIE"), 'I'), false)),
    mode(cmd(R, kDutyMenu, "Ca&ncella record D, E, R non inviati", "ACANCGAR", 3, h::kCancellation), 'T'),
    mode(cmd(R, kDutyMenu, "R&icerche record D, E, R", "ARICDER", 3, h::kDutySearch), 'T'),
    ready(flags(
        mode(cmd(R, kDutyMenu, "R&ettifica: annulla record D, E, R", "Action4", 1, h::kDutyCorrection), 'T'),
        F::CorrectionCancel)),
    ready(flags(
        mode(cmd(R, kDutyMenu, "Re&ttifica: modifica record D, E, R", "ARETTGAR", 2, h::kDutyCorrection),
             't'),
        F::CorrectionModify)),
    mode(cmd(R, kDutyMenu, "C&ancella rettifica non inviata", "ACANCRETT", 4, h::kCancellation), 't'),
    // Guarantees (kind F) live in their own file: their removal and corrections too.
    mode(cmd(R, kDutyMenu, "Cance&lla garanzie (F) non inviate", "ACANCGARF", 5, h::kCancellation), 'F'),
    ready(flags(mode(cmd(R, kDutyMenu, "Rettifica: annulla garanzia (&F)", "ARETTGARF1", 5, h::kDutyCorrection),
                     'F'),
                F::CorrectionCancel)),
    ready(flags(mode(cmd(R, kDutyMenu, "Rettifica: &modifica garanzia (F)", "ARETTGARF2", 6, h::kDutyCorrection),
                     'f'),
                F::CorrectionModify)),
    mode(cmd(R, kDutyMenu, "Cancella rettifica garan&zia non inviata", "ACANCRETTGARF", 6, h::kCancellation),
         'f'),

    ready(flowYear(cmd(R, kFlowMenu, "&Crea, firma ed invia il flusso per la dogana", "ACREAFIRINVFLUSSO",
                       none, "ACREAFIRINVFLUSSO"))),
    ready(flowYear(
        cmd(R, kFlowMenu, "&Azzera i dati di invio di un flusso", "AAZZDATIFLUSSO", none, "AAZZDATIFLUSSO"))),
    ready(flowYear(cmd(R, kFlowMenu, "F&lussi trasmessi", "AFLUSSITRASMESSI", none, "AFLUSSITRASMESSI"))),
    mode(cmd(R, kFlowMenu, "&Ricerca carichi inviati", "ARICCARICHIINVIATI", 34, h::kRegisterSearch), 'c'),
    mode(cmd(R, kFlowMenu, "Ricerca scaric&hi inviati", "ARICSCARICHIINVIATI", 44, h::kRegisterSearch), 's'),
    mode(cmd(R, kFlowMenu, "Ricerca &tributi inviati", "Action44", 64, h::kDutySearch), 't'),
    ready(cmd(R, kFlowMenu, "&Pagina iniziale Agenzia delle Dogane", "ADOGANE", 7, h::kLink)),
    ready(cmd(R, kFlowMenu, "Am&biente E.D.I. REALE", "AEDIREALE", 3, h::kLink)),
    ready(cmd(R, kFlowMenu, "E&segue FirmaVerifica", "AFIRMAVERIFICA", 100, h::kLink)),
    ready(cmd(R, kFlowMenu, "A&mbiente E.D.I. di PROVA", "AEDIPROVA", 5, h::kLink)),

    cmd(R, kRegistersMenu, "&Totali dei Registri", "Action46", none, "Action46"),
    ready(mode(cmd(R, kRegistersMenu, "R&egistro carichi e scarichi", "Action6", 0, h::kRegisterPrint), 'T')),
    cmd(R, kRegistersMenu, "&Controllo dei registri", "ACONTROLLO", none, "ACONTROLLO"),
};

struct TagMode {
    std::string_view handler;
    int tag;
    char mode;
};

constexpr std::array kSharedHandlerModes{
    TagMode{h::kCancellation, 3, 'T'},    TagMode{h::kCancellation, 4, 't'},
    TagMode{h::kCancellation, 13, 'C'},   TagMode{h::kCancellation, 18, 'c'},
    TagMode{h::kCancellation, 30, 'I'},   TagMode{h::kCancellation, 31, 'i'},
    TagMode{h::kRegisterSearch, 4, 'C'},  TagMode{h::kRegisterSearch, 13, 'C'},
    TagMode{h::kRegisterSearch, 14, 'S'}, TagMode{h::kRegisterSearch, 34, 'c'},
    TagMode{h::kRegisterSearch, 44, 's'}, TagMode{h::kDutySearch, 3, 'T'},
    TagMode{h::kDutySearch, 64, 't'},     TagMode{h::kRegisterPrint, 0, 'T'},
    TagMode{h::kStockCorrection, 1, 'I'}, TagMode{h::kStockCorrection, 2, 'i'},
    TagMode{h::kDutyCorrection, 1, 'T'},  TagMode{h::kDutyCorrection, 2, 't'},
    TagMode{h::kDutyCorrection, 5, 'F'},  TagMode{h::kDutyCorrection, 6, 'f'},
    TagMode{h::kCancellation, 5, 'F'},    TagMode{h::kCancellation, 6, 'f'},
    TagMode{h::kMovementChange, 12, 'M'}, TagMode{h::kMovementChange, 16, 'E'},
    TagMode{h::kMovementChange, 17, 'e'},
};

} // namespace

std::span<const CommandEntry> commandTable() {
    return kCommands;
}

const CommandEntry* findCommand(std::string_view action) {
    for (const auto& e : kCommands)
        if (e.action == action) return &e;
    return nullptr;
}

std::optional<std::string> tableForTag(int tag) {
    switch (tag) {
    case 1:
        return "T001";
    case 3:
        return "TA03";
    case 4:
        return "T004";
    case 10:
        return "T010";
    case 121:
        return "TA21C";
    case 205:
        return "TA05C";
    case 221:
        return "TA21S";
    case 305:
        return "TA05S";
    default:
        return std::nullopt;
    }
}

std::optional<char> modeForTag(std::string_view handler, int tag) {
    for (const auto& m : kSharedHandlerModes)
        if (m.handler == handler && m.tag == tag) return m.mode;
    return std::nullopt;
}

} // namespace accise
