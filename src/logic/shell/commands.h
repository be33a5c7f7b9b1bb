#pragma once
// What the shell does around a menu command, without any widget: the command
// values, the readiness check and the status text, the decisions of the commands
// whose handlers live in the shell, and the texts of the information window.
#include <optional>
#include <string>
#include <string_view>

#include "core/files/prompt.h"
#include "logic/framework/commandcontext.h"
#include "logic/shell/commandtable.h"

namespace accise {

// Runs the readiness check: shows every missing item, reloads the live company
// record and the ALCOPP flag into `ctx`. True when the command may start.
bool runReadinessCheck(CommandContext& ctx, Prompt& prompt);

// The status bar refresh (at start and after the company data window): creates a
// blank UTENTE.001 when missing, runs the readiness check (its messages appear)
// and returns the status text.
std::string refreshStatus(CommandContext& ctx, Prompt& prompt);

// Sets the values the entry hands to its window (tag, flags, mode, table, flow
// year) and, for a "ready" command, runs the readiness check. False when that
// check failed: the command does not start.
bool prepareCommand(const CommandEntry& entry, CommandContext& ctx, Prompt& prompt);

// "&Altre Sedi Autorizzate": the message that refuses the command, nullopt when
// the company is a tax warehouse and the sites window may open.
std::optional<std::string> sitesCommandRefusal(const Folders& folders);
inline constexpr const char* kTaxWarehouseOnly = "SEZIONE RISERVATA AI DEPOSITI FISCALI";

// The excise summary window of the company's profile (registry names).
inline constexpr const char* kExciseSummaryAlcopp = "UACCISE_PP";
inline constexpr const char* kExciseSummaryAlcoda = "UACCISE_DA";
std::string exciseSummaryWindow(const CommandContext& ctx);

// The link commands: Tag 100 starts FirmaVerifica (APPL.CFG entry 1); any other
// Tag t opens the web address of WEB.CFG entry t + 1. nullopt when that entry is
// missing or empty: the command then opens nothing.
struct LinkTarget {
    enum Kind { WebAddress, Program } kind;
    std::string text;
    friend bool operator==(const LinkTarget&, const LinkTarget&) = default;
};
inline constexpr int kFirmaVerificaTag = 100;
std::optional<LinkTarget> linkTarget(const Folders& folders, int tag);

// WEB.CFG entry `entry` (1..8), trimmed; "" when missing.
std::string webAddress(const Folders& folders, int entry);

// The information window's text: the program's version (as the build named it) and
// the date of the program file.
std::string infoText(double programFileDay, std::string_view version);

// The title of the main window and of the application's message boxes.
inline constexpr const char* kApplicationTitle = "Servizio Telematico Accise - Birra";

} // namespace accise
