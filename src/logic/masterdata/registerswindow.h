#pragma once
// The customs registers window (TFPROTREGISTRI): enters, changes and deletes the
// registers of PROTOCOLLI.TAB and the product list <n>_TA20.PRT of each one.
// The products offered are the TA20 codes of the register's type; the list is also
// written to TA20.APP in the temp folder, record i being item i, and the save copies
// the records of the checked items from there.
#include <cstdint>
#include <string>
#include <vector>

#include "core/records/tablerecord.h"
#include "logic/framework/entryform.h"

namespace accise {

namespace registerswindow {
inline constexpr const char* kSelectProduct = "SELEZIONA ALMENO UN PRODOTTO";
inline constexpr const char* kProtocolInUse = "CODICE GIA` UTILIZZATO";
inline constexpr const char* kLoadedLabel = "MODIFICA o CANCELLA";
inline constexpr const char* kWorkFile = "TA20.APP";
// The longest title and stamping-office text a register takes (the field widths).
inline constexpr std::size_t kTitleWidth = 80;
inline constexpr std::size_t kHeaderWidth = 200;
} // namespace registerswindow

class RegistersLogic : public EntryFormLogic {
public:
    RegistersLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);

    std::string title() const override { return "Registri Doganali"; }

    // A register is loaded for change or deletion ("MODIFICA o CANCELLA" and
    // "Cance&lla" shown, "&Elenca" hidden).
    bool registerLoaded() const { return loaded_ >= 0; }
    std::int32_t loadedNumber() const { return loaded_; }

    // The product check list (CTA20): "code - description" per item, and the ticks.
    const std::vector<std::string>& productItems() const { return items_; }
    bool productChecked(std::size_t item) const { return item < checked_.size() && checked_[item]; }
    void setProductChecked(std::size_t item, bool on);

    // Buttons and list events; each returns the control that gets the cursor.
    std::string typeChosen();   // CINTERI0 changed: the product list is rebuilt
    std::string list();         // "&Elenca": the lookup list of the registers
    std::string chooseOffice(); // "..." beside the office: the TA03 list
    std::string addOffice();    // the new-code button: the TA03 editor in return mode
    std::string clear();        // "&Svuota"
    std::string remove();       // "Cance&lla"

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    void reset();
    // The TA20 codes of the chosen type into the list and into TA20.APP, none ticked.
    void buildProductList();
    // Looks the typed protocol number up; when found, shows that register. True if found.
    bool loadRegister();
    bool officeFound();
    int typeIndex() const;
    void defaultHeader();
    std::string defaultTitle() const;

    std::vector<std::string> items_;
    std::vector<std::int32_t> itemNumbers_; // TA20 record number of each item
    std::vector<bool> checked_;
    std::int32_t loaded_ = -1;
};

} // namespace accise
