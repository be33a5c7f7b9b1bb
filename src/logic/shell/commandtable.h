#pragma once
// Every entry of the two menus of the main window, as data: caption, action name,
// Tag, the command values it sets, whether the readiness check runs first, and the
// handler that does the rest. The main window builds its menus from this table and
// enables an entry only when its handler is registered (see windowregistry.h).
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace accise {

enum class MenuPage { GeneralData, Register };

inline constexpr std::string_view kGeneralDataPageCaption = "Dati Generali";
inline constexpr std::string_view kRegisterPageCaption = "    Registro    ";

// What a command does with the modify / correction flags of the movement and
// duty-record windows: every such command clears the three and sets the one it needs.
enum class ChangeFlags { Keep, ClearAll, Modify, CorrectionCancel, CorrectionModify };

struct CommandEntry {
    MenuPage page;
    std::string_view menu;    // the menu of the page's bar it belongs to; "" = an entry of the bar itself
    std::string_view caption; // "&" marks the accelerator letter
    std::string_view action;  // action name, also the object name of the menu action
    std::optional<int> tag;   // nullopt where the menus give none (the command tag is then 0)
    std::string_view handler; // what runs after the values are set (windowregistry.h)
    bool ready = false;       // the readiness check runs first and a failure stops the command
    std::optional<char> mode;
    std::string_view table;    // "" = left as it is
    bool tableFromTag = false; // code-table commands: the table follows the Tag (tableForTag)
    std::optional<bool> continuousEntry;
    ChangeFlags flags = ChangeFlags::Keep;
    bool setsFlowYear = false; // flow year := the current year
};

// Both menus, page by page, in menu order.
std::span<const CommandEntry> commandTable();
const CommandEntry* findCommand(std::string_view action);

// The code table edited by the "Codici e Tabelle" command with this Tag.
std::optional<std::string> tableForTag(int tag);

// The handlers that serve several commands and tell them apart only by the Tag:
// the mode each Tag stands for. nullopt for a Tag the handler does not know.
std::optional<char> modeForTag(std::string_view handler, int tag);

// Handler names of the shell. The others are the action names of their commands.
namespace handlers {
inline constexpr std::string_view kCompanyData = "AAZIENDA";
inline constexpr std::string_view kApplicationPaths = "APERAPPL";
inline constexpr std::string_view kWebAddresses = "AWEB";
inline constexpr std::string_view kInfo = "AINFO";
inline constexpr std::string_view kLink = "ASEED"; // web addresses and FirmaVerifica
inline constexpr std::string_view kCodeTableEditor =
    "ACODICI"; // generic editor in menu mode, table from the Tag
inline constexpr std::string_view kAddressInsert = "AINSDEST";
inline constexpr std::string_view kAddressModify = "AMODDESTIN";
inline constexpr std::string_view kAddressDelete = "ACANCDESTIN";
inline constexpr std::string_view kMovementChange = "AMODCARICO"; // Tags 12, 16, 17
inline constexpr std::string_view kCancellation = "AcancsCARICO"; // cancellation window
inline constexpr std::string_view kRegisterSearch = "ARICCARICHI";
inline constexpr std::string_view kDutySearch = "ARICDER";
inline constexpr std::string_view kStockSearch = "Action19";
inline constexpr std::string_view kRegisterPrint = "Action7";
inline constexpr std::string_view kStockCorrection = "AGIACENZE";
inline constexpr std::string_view kDutyCorrection = "Action4";
} // namespace handlers

} // namespace accise
