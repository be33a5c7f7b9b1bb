#pragma once
// The application paths window (TFPERCORSI, APPL.CFG entries 1-4), and the base it
// shares with the web addresses window: fields LE0, LE1, ... hold the entries of a
// configuration file; nothing typed is validated (the readiness check only wants
// them filled).
#include <filesystem>

#include "core/records/tablerecord.h"
#include "logic/framework/entryform.h"

namespace accise {

// Shared by both windows: one table record whose columns 0..n-1 are the entries.
class ConfigEntriesLogic : public EntryFormLogic {
public:
    ConfigEntriesLogic(CommandContext& ctx, Prompt& prompt, FormServices& services,
                       std::filesystem::path file, int entries);

    static std::string control(int entry) { return "LE" + std::to_string(entry); }
    int entries() const { return entries_; }

protected:
    void onOpen() override;
    std::optional<std::string> onConfirmChecks() override { return std::nullopt; }
    void onSave() override;

private:
    std::filesystem::path file_;
    int entries_;
    TableRecord record_; // as read when the window opened: its other fields are written back unchanged
};

class ApplicationPathsLogic : public ConfigEntriesLogic {
public:
    ApplicationPathsLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);
    std::string title() const override { return "Percorsi delle Applicazioni"; }

    // Where the file dialog of the "..." beside entry `entry` (0-3) starts: the
    // program's path for entry 0, the folder's text followed by "F" for the others.
    std::string browseStart(int entry) const;
    // A file was chosen in that dialog. Entry 0: the program's full path, and the
    // two signing folders beside it ("dafirmare", "firmati"); others: the folder of
    // the chosen file. Folders end with the separator. Nothing is created on disk.
    void fileChosen(int entry, const std::string& path);
};

// Captions of the fields, by entry.
inline constexpr const char* kApplicationPathCaptions[] = {
    "Programma \"FIRMAVERIFICA\"",
    "Cartella di destinazione dei FILE da FIRMARE",
    "Cartella di destinazione dei FILE FIRMATI",
    "Cartella di destinazione per i DOWNLOAD dei messaggi EMCS",
};
} // namespace accise
