#pragma once
// The movement window (TFMOVIMENTI): one load or unload of one product in a customs
// register per confirmation, the change of an unsent movement ("M") and the two
// corrections of a sent one ("E" cancels, "e" replaces).
//
// The logic is split by concern: movemententrylayout (what is shown), this class
// (fields, opening, leaving a field, buttons, saving) and movemententrychecks.cpp
// (the confirmation's checks in their order). Computations and the save are core
// functions (core/books/movementcalc.h, core/books/movementsave.h).
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/books/movementcalc.h"
#include "core/books/movementsave.h"
#include "core/records/movement.h"
#include "core/records/tablerecord.h"
#include "logic/framework/entryform.h"
#include "logic/movements/movemententrylayout.h"

namespace accise {

namespace movemententry {
// The registry name of the window; the record selection opens it for modes "M", "E"
// and "e" with the chosen record's NUMREC in ctx.chosenRecord and its year in
// ctx.workingYear (or hands the record over with setSelectedRecord).
inline constexpr std::string_view kWindow = "TFMOVIMENTI";
// The menu command "Inserisce movimento".
inline constexpr std::string_view kInsertCommand = "AINSSCARICO";
// The window opened on a record found by a search, read only: the record in
// ctx.selectedRecord (its NUMREC in ctx.chosenRecord), nothing can be changed or saved.
inline constexpr std::string_view kViewWindow = "TFMOVIMENTI_CONSULTA";
inline constexpr const char* kViewTitle = "CONSULTA UN MOVIMENTO (sola lettura)";

inline constexpr const char* kDocumentAfterMovement =
    "ATTENZIONE LA DATA DEL DOCUMENTO E' SUCCESSIVA A QUELLA DEL MOVIMENTO";
inline constexpr const char* kPlatoMax = "valore MASSIMO: 99,99999";
inline constexpr const char* kCheckPlato = "CONTROLLA IL VALORE DEL GRADO PLATO";
inline constexpr const char* kPackagesRequired = "quantità obbligatoria per prodotto condizionato";
inline constexpr const char* kPackagesMax = "quantità MASSIMA: 9.999.999";
inline constexpr const char* kUnitRequired = "valore obbligatorio per prodotto condizionato";
inline constexpr const char* kUnitMax = "valore MASSIMO: 999,99999";
inline constexpr const char* kQuantityRequired = "quantità obbligatoria";
inline constexpr const char* kQuantityMax = "quantità MASSIMA: 99.999.999.999,99999";
inline constexpr const char* kCounterNotPositive = "IL VALORE DEVE ESSERE MAGGIORE DI ZERO";
inline constexpr const char* kNoteRequired = "Nota obbligatoria per le rettifiche";
inline constexpr const char* kPhotoInvalid = "FOTO NON VALIDA";
inline constexpr const char* kCancelTitle = "RETTIFICA: cancella un movimento già inviato al sistema telematico";
inline constexpr const char* kModifyTitle = "RETTIFICA: modifica un movimento già inviato al sistema telematico";
// A document that needs a sender or recipient, confirmed without a known one.
inline constexpr const char* kPartnerRequired = "MITTENTE / DESTINATARIO OBBLIGATORIO PER QUESTO DOCUMENTO";
// The record chosen for a change is no longer in its register file.
inline constexpr const char* kChosenRecordGone = "IL MOVIMENTO SCELTO NON E' PIU' PRESENTE NEL REGISTRO";
// What a refusal says where the window shows no message of its own.
inline constexpr const char* kFieldRequired = "valore obbligatorio";
inline constexpr const char* kInvalidValue = "valore non valido";
inline constexpr const char* kLookupNeeded = "codice non trovato (la finestra aprirebbe l'elenco di ricerca)";
// A typed excise amount that is not a number, or is negative.
inline constexpr const char* kExciseInvalid = "IMPORTO DELL'ACCISA NON VALIDO";
} // namespace movemententry

// Why the last check failed: the field, and the message shown (or, where the window
// shows none, a short description).
struct MovementRefusal {
    std::string control;
    std::string message;
    bool lookup = false; // the window opened (or would open) the field's lookup list
};

class MovementEntryLogic : public EntryFormLogic {
public:
    // Opens another window by its registry name (company products and address insert
    // in return mode); false when none is registered.
    using WindowOpener = std::function<bool(std::string_view name, CommandContext& ctx)>;
    using PictureCheck = std::function<bool(std::string_view bytes)>;

    MovementEntryLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);

    std::string title() const override;
    EntryMode mode() const { return mode_; }

    // The record to change or correct, before open(); without it open() reads the
    // record ctx.chosenRecord from the register file of ctx.workingYear.
    // `file`: where it was read from (empty: its year's register file).
    void setSelectedRecord(const Movement& record, std::filesystem::path file = {}) {
        selected_ = record;
        selectedFile_ = std::move(file);
    }
    // Before open(): the record is only shown (kViewWindow). Every field is read only,
    // leaving one checks nothing, the lookups do nothing and the confirmation never
    // saves.
    void setViewOnly(bool on) { viewOnly_ = on; }
    bool viewOnly() const { return viewOnly_; }
    void setWindowOpener(WindowOpener opener) { openWindow_ = std::move(opener); }
    void setPictureCheck(PictureCheck check) { pictureCheck_ = std::move(check); }
    // Called whenever what the window shows besides the field texts changes.
    void setViewChanged(std::function<void()> changed) { viewChanged_ = std::move(changed); }

    const MovementLayout& layout() const { return layout_; }
    // Whether a control is shown and whether the user may type into it.
    bool shown(std::string_view control) const;
    bool editable(std::string_view control) const;
    std::string stockText() const { return stockText_; }         // LMAX ("" when hidden)
    std::string registerTypeText() const { return registerType_; } // LTIPOREGISTRO
    std::string protocolText() const { return protocol_; }         // LPROTOCOLLO
    std::string correctionTitle() const;                           // LTITOLO
    // The picture to show: a product's photo or DEFAULT.bmp; empty for none.
    const std::filesystem::path& photoFile() const { return photo_; }

    // The movement as the last checks built it, and the last save.
    const Movement& movement() const { return movement_; }
    const std::optional<SaveResult>& lastSave() const { return lastSave_; }
    const std::optional<MovementRefusal>& refusal() const { return refusal_; }

    // Types `values` (by control name) as a clerk would: every shown, editable field in
    // tab order gets its value (when one is given) and is left. The control where the
    // cursor was sent back; nullopt when every field was accepted.
    std::optional<std::string> typeFields(const std::map<std::string, std::string>& values);

    // The "." buttons beside TIPDOC, PRODAZ, PRODDO, CAUMOV, POSFIS, CODPAE and MITDES,
    // and the "Inserisce Nuovo Codice" buttons beside TIPDOC, CAUMOV, CODPAE, PRODAZ
    // and MITDES. Each returns the control that gets the cursor.
    std::string lookup(std::string_view control);
    std::string addNew(std::string_view control);

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    enum class Moment { Leaving, Confirming };
    using Check = bool (MovementEntryLogic::*)(Moment);
    struct CheckStep {
        const char* control;
        Check check;
    };
    static const CheckStep kChecks[22];

    // movemententry.cpp
    void reset();
    void fillFromRecord(const Movement& m);
    void rebuildBuffer();
    void applyLayout();
    LayoutInputs layoutInputs() const;
    void changed();
    std::string text(std::string_view control) const; // trimmed, upper case for codes
    std::optional<double> date(std::string_view control) const;
    // False for a code the company products do not hold (DPRODAZ then says so).
    bool fillFromCompanyProduct();
    void prefillCounter();
    void computeExcise();
    // A cancellation or replacement chosen in mode "M": it stays one.
    bool modifiesCorrectionGroup() const;
    bool modifiesCancellation() const;
    // The register's stock from the movement's day on, with the change the save makes.
    bool checkLaterDays();

    std::string lookupTable(std::string_view control) const;

    // movemententrychecks.cpp: one per step of the confirmation, in its order.
    bool checkMovementType(Moment);
    bool checkMovementDate(Moment);
    bool checkDocumentType(Moment);
    bool checkPartner(Moment);
    bool checkDocumentDate(Moment);
    bool checkDocumentNumber(Moment);
    bool checkEadNumber(Moment);
    bool checkCumulative(Moment);
    bool checkDraftId(Moment);
    bool checkDetailNumber(Moment);
    bool checkProduct(Moment);
    bool checkBulk(Moment);
    bool checkPlato(Moment);
    bool checkReason(Moment);
    bool checkPackages(Moment);
    bool checkUnitQuantity(Moment);
    bool checkTotal(Moment);
    bool checkCounters(Moment);
    bool checkTaxPosition(Moment);
    bool checkCountry(Moment);
    bool checkNote(Moment);
    bool checkInitialStockAndDuplicate(Moment);
    // Rebuilds the movement and runs every step; the control that gets the cursor at
    // the first failure.
    std::optional<std::string> runChecks();
    // Check 17's computation and the stock check of an unload.
    bool computeQuantities(Moment moment = Moment::Leaving);
    // A new movement's confirmation reads its year's file once (NewMovementPass) for
    // the stock, the duplicate warning and the save.
    bool onePass(Moment moment) const { return moment == Moment::Confirming && mode_ == EntryMode::Insert; }
    NewMovementPass& confirmationPass();
    bool fail(std::string control, std::string message, std::string focus = {});
    bool failWithLookup(std::string_view control);
    std::optional<TableRecord> codeRow(std::string_view table, std::string_view control,
                                       std::string_view descriptionControl);

    EntryMode mode_ = EntryMode::Insert;
    bool viewOnly_ = false;
    std::optional<Movement> selected_;
    std::filesystem::path selectedFile_; // where selected_ was read from
    bool duplicateWarned_ = false;       // the last confirmation warned of an identical document
    std::string computedExcise_;         // DOUBL7 as the last computation showed it
    Movement movement_;
    Quantities stock_;
    std::unique_ptr<NewMovementPass> pass_; // during a confirmation and the save that follows it
    std::optional<MeasureUnit> unit_;
    bool partnerRequired_ = false;
    MovementLayout layout_;
    std::string stockText_, registerType_, protocol_;
    std::filesystem::path photo_;
    std::optional<SaveResult> lastSave_;
    std::optional<MovementRefusal> refusal_;
    std::string focus_;
    WindowOpener openWindow_;
    PictureCheck pictureCheck_;
    std::function<void()> viewChanged_;
};

} // namespace accise
