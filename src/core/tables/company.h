#pragma once
// The company record (UTENTE.001), the records of its other authorised sites
// (UTENTE.002 ... UTENTE.999), the two configuration files (APPL.CFG, WEB.CFG),
// and the readiness check that most commands run before they start.
//
// These are single-record files kept without a lock marker. A file shorter than one
// record is damaged and reading it throws IoError; a file of zero length reads as the
// blank record.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/files/folders.h"
#include "core/records/address.h"
#include "core/records/tablerecord.h"

namespace accise {

namespace fs = std::filesystem;

// ---- Company ----

// The company record, trimmed; a zero-length file gives the blank record.
// nullopt when UTENTE.001 does not exist.
std::optional<AddressRecord> readCompany(const Folders& folders);

// Pads the record and replaces UTENTE.001 with it (written beside and renamed, so a
// crash leaves either the old record or the new one).
void writeCompany(const Folders& folders, AddressRecord company);

// The registered-consignee profile: the profile field contains "ALCOPP".
bool isAlcopp(const AddressRecord& company);

// ---- Other authorised sites ----

// The first of "002" ... "999" whose UTENTE.nnn does not exist. When all 998 exist
// there is no free number and the result is empty: the sites window then proposes
// nothing and the user can still type an existing number to edit that site.
std::string nextFreeSiteNumber(const Folders& folders);

// The site record of UTENTE.nnn, trimmed (blank for a zero-length file); nullopt when
// the file does not exist. Throws std::invalid_argument for a number outside 2..999.
std::optional<AddressRecord> readSite(const Folders& folders, int number);

// Pads the record and writes it to the file named by its user-code field (the site
// number, three digits). A user code that is not one of "002" ... "999" throws
// std::invalid_argument: it must never reach UTENTE.001 or a name outside the catalogue.
void writeSite(const Folders& folders, AddressRecord site);

// ---- Configuration ----

using ApplPaths = std::array<std::string, 4>;    // APPL.CFG entries 1..4 (columns 0..3)
using WebAddresses = std::array<std::string, 8>; // WEB.CFG entries 1..8 (columns 0..7)

// The one table record of a configuration file, trimmed; the blank record (trimmed)
// when the file is missing or empty.
TableRecord readConfigRecord(const fs::path& file);
// Pads the record and replaces the file with it (written beside and renamed).
void writeConfigRecord(const fs::path& file, TableRecord record);
// Creates the file holding one blank table record when it is missing or of zero length.
void ensureConfigFile(const fs::path& file);

ApplPaths readApplConfig(const Folders& folders);
// The entries as the programs use them: a relative folder (entries 2 to 4), or a
// relative program path with a folder in it (entry 1), is taken from the working
// folder, whatever the current directory of the program that reads it. Every
// program that follows these paths reads them here; the paths window shows them as
// they were typed.
ApplPaths resolvedApplPaths(const Folders& folders);
// One folder entry of APPL.CFG as a path: a relative one joined to the working folder
// as a path, never through a text (on Windows a text of a path goes through the
// system's code page, which a folder named outside ASCII may not survive). Empty for
// an empty entry.
std::filesystem::path resolvedApplFolder(const Folders& folders, const std::string& entry);
WebAddresses readWebConfig(const Folders& folders);
// Put the entries into the stored record (its other fields stay as they are) and save it.
void writeApplConfig(const Folders& folders, const ApplPaths& entries);
void writeWebConfig(const Folders& folders, const WebAddresses& entries);

// ---- Readiness check and status bar ----

inline constexpr const char* kCompanyMissing = "NON SONO STATI COMPILATI I DATI AZIENDALI";
inline constexpr const char* kApplPathsMissing = "NON SONO STATI INDICATI I PERCORSI DELLE APPLICAZIONI";
inline constexpr const char* kWebAddressesMissing = "NON SONO STATI INDICATI I PERCORSI WEB";

struct Readiness {
    bool ready = false;
    bool alcopp = false;
    std::vector<std::string> messages; // every missing item, in order; show each one
    AddressRecord company;             // the live company record: trimmed, or blank when none
};

// Company data complete (authorisation type "1" or "2"), APPL.CFG entries 1..4 and
// WEB.CFG entries 1..7 not empty. Reads the files afresh and creates nothing.
Readiness checkReadiness(const Folders& folders);

struct StatusRefresh {
    std::string text;
    Readiness readiness;
};

// The main window's status bar refresh: creates UTENTE.001 holding one blank record
// when it is missing, runs the readiness check and builds the text: working folder,
// "   *** ", the excise code and the profile as stored (padded to 18 and 10
// characters) joined by " - ".
StatusRefresh statusText(const Folders& folders);

} // namespace accise
