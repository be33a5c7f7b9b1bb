#pragma once
// The address insert window (TFINSINDIRIZZO) and the address modify window
// (TFMODINDIRIZZO): one entry of the address book named by the current table name,
// its fields shown by kind (carriers have no excise code, only guarantors have the
// guarantee fields).
#include <optional>
#include <string>
#include <string_view>

#include "core/records/address.h"
#include "logic/framework/entryform.h"

namespace accise {

namespace addressentry {
inline constexpr const char* kExciseCodePresent = "ATTENZIONE CODICE D'ACCISA GIA' PRESENTE IN ARCHIVIO !";
inline constexpr const char* kVatNumberPresent = "ATTENZIONE PARTITA IVA GIA' PRESENTE IN ARCHIVIO !";
inline constexpr const char* kNamePresent = "ATTENZIONE DENOMINAZIONE GIA' PRESENTE IN ARCHIVIO !";
inline constexpr const char* kWrongBondKind = "DIGITA: C per cauzione, E pe esonero";
inline constexpr const char* kDefaultLanguage = "it";
inline constexpr const char* kLanguageTable = "T001";
} // namespace addressentry

class AddressEntryLogic : public EntryFormLogic {
public:
    // The insert window.
    AddressEntryLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);
    // The modify window on an entry found by its code.
    AddressEntryLogic(CommandContext& ctx, Prompt& prompt, FormServices& services, AddressRecord found);

    std::string title() const override;
    bool modifying() const { return found_.has_value(); }
    // The book the window works on (the current table name when it was shown) and its kind letter.
    const std::string& book() const { return book_; }
    char kind() const { return kind_; }
    // Whether a control is shown for the book's kind.
    bool shown(std::string_view control) const;
    static bool shownForKind(std::string_view control, char kind);

    // The buttons; each returns the control that gets the cursor (nullopt: unchanged).
    std::string chooseLanguage();              // "..." beside the language: the T001 list
    std::string addLanguage();                 // the new-code button: the T001 editor
    void openSeed();                           // "Banca Dati SEED": WEB.CFG entry 1
    void showRegistered();                     // "Mostra gli Indirizzi Registrati": the book's list

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    void declareFields();
    void reset();
    bool languageFound();
    bool bondKindOk() const;
    void warnIfPresent(std::string_view control);
    AddressRecord entryFromFields() const;

    std::optional<AddressRecord> found_;
    std::string book_;
    char kind_ = '\0';
};

} // namespace accise
