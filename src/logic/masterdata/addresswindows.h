#pragma once
// What the three address book windows (insert, modify, delete) share: the window
// captions by kind, the file of an address book, and the first step of the modify
// and delete commands (the entry chosen in the lookup list).
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/records/address.h"
#include "logic/framework/commandcontext.h"
#include "logic/framework/formservices.h"

namespace accise {

enum class AddressWindow { Insert, Modify, Delete };

// The caption of a window for an address book (current table name, e.g. "INDIRIZZI_F"):
// "Inserisce Fornitore", "Modifica Cliente " (with a space for C and F), "Cancella Garante", ...
// Books of other kinds keep the default captions "Inserisce Indirizzo",
// "Modifica Indirizzo" and "Cancella Destinatario DAA".
std::string addressWindowTitle(AddressWindow window, std::string_view book);

// <general data folder>/<book>.DAT
std::filesystem::path addressBookFile(const Folders& folders, std::string_view book);

// The modify and delete commands: the lookup list of ctx.table, then the chosen entry
// looked up by its code. nullopt (the command ends silently) when nothing was chosen
// or the code is not in the file.
std::optional<AddressRecord> chooseAddressEntry(CommandContext& ctx, FormServices& services);

// The window that adds a partner on the fly from another window (the movement entry):
// it closes after one entry and leaves the new partner's excise code (its VAT number
// when it has none) in ctx.enteredCode, "" when closed without saving.
inline constexpr std::string_view kAddressInsertReturn = "UINSINDIRIZZO_RETURN";

} // namespace accise
