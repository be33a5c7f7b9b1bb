#pragma once
// The brew window (TFCOTTA): the raw materials a brew used are unloaded, the beer
// brewed is loaded into the in-process register with its Plato degree,
// hectolitre-degrees and excise, and, for the operators whose brews are split, the
// beer is at once unloaded again as litres sent to packaging and process losses.
//
// The logic is split by concern: brewgrid (the raw-material grid), this class
// (fields, opening, leaving a field, the save) and brewchecks.cpp (the
// confirmation's checks in their order). Computations and the save are core
// functions (core/books/brew.h); the stock lists are core/books/stocklists.h.
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/books/brew.h"
#include "core/books/stocklists.h"
#include "logic/framework/entryform.h"
#include "logic/movements/brewgrid.h"

namespace accise {

namespace brew {
// The registry name of the window and its menu command "Cotta".
inline constexpr std::string_view kWindow = "TFCOTTA";
inline constexpr std::string_view kCommand = "Action45";
inline constexpr const char* kTitle = "Registrazione della cotta con contemporaneo scarico ad accisa assolta";

inline constexpr const char* kNoInProcessRegister = "NON CI SONO REGISTRI DELLE LAVORAZIONI VALIDI PER QUESTA DATA";
inline constexpr const char* kQuantityCut = "Quantità rettificata !";
inline constexpr const char* kQuantityRequired = "quantità obbligatoria";
inline constexpr const char* kQuantityMax = "quantità MASSIMA: 99.999.999.999,99999";
inline constexpr const char* kPlatoMax = "valore MASSIMO: 99,99999";
inline constexpr const char* kCheckPlato = "CONTROLLA IL VALORE DEL GRADO PLATO";
inline constexpr const char* kCounterNotPositive = "IL VALORE DEVE ESSERE MAGGIORE DI ZERO";
// Asked before a changed date rebuilds the lists and empties the grid the clerk filled.
inline constexpr const char* kDataWillBeLost = "I DATI INSERITI SARANNO PERSI. CONTINUARE ?";
// Where the window has no message of its own.
inline constexpr const char* kInvalidDate = "DATA NON VALIDA";
inline constexpr const char* kDocumentRequired = "NUMERO DEL DOCUMENTO OBBLIGATORIO";
} // namespace brew

class BrewLogic : public EntryFormLogic {
public:
    BrewLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);

    std::string title() const override { return brew::kTitle; }

    // The split section (litres to package, process losses) is shown.
    bool splitShown() const { return splitShown_; }
    bool shown(std::string_view control) const;
    const std::string& protocolText() const { return protocol_; } // LPROTOCOLLO
    const BrewGrid& grid() const { return grid_; }
    const BrewStockLists& stockLists() const { return lists_; }
    // The records of the last saved brew, as added.
    const std::optional<BrewSaveResult>& lastSave() const { return lastSave_; }
    // Called whenever what the window shows besides the field texts changes (the grid,
    // LPROTOCOLLO).
    void setViewChanged(std::function<void()> changed) { viewChanged_ = std::move(changed); }

    // A key typed into the unload cell of `row`; false when it was dropped.
    bool gridKey(std::size_t row, char32_t key);
    // Enter in the unload cell of `row`: the quantity is read (and cut to the stock with
    // "Quantità rettificata !"). The row that gets the cursor next; nullopt when the
    // cursor leaves the grid for DOUBL1_3.
    std::optional<std::size_t> gridEnter(std::size_t row);

    // Types `values` (by control name) as a clerk would: every shown, editable field in
    // tab order gets its value (when one is given) and is left; `unloads` go into the
    // grid rows of those product codes first. The control where the cursor was sent
    // back; nullopt when every field was accepted.
    std::optional<std::string> typeFields(const std::map<std::string, std::string>& values,
                                          const std::map<std::string, std::string>& unloads = {});

    // The "." buttons beside POS010 and POS009.
    std::string lookup(std::string_view control);

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    using Check = bool (BrewLogic::*)();
    struct CheckStep {
        const char* control;
        Check check;
    };
    static const CheckStep kChecks[8];

    // brewwindow.cpp
    void reset();
    void rebuildLists(double date);
    void changed();
    std::string text(std::string_view control) const;
    double decimal(std::string_view control) const;
    void computeBrew();
    void showSplit(double toPackage, double losses);
    // A new date for the lists: asks first when the grid holds unloads (No keeps the
    // old date, which DATMOV shows again). False when the clerk kept the old date.
    bool acceptNewDate(double date);
    Brew brewToSave() const;

    // brewchecks.cpp: one per step of the confirmation, in its order.
    bool checkDate();
    bool checkDateUnchanged();
    bool checkInProcessRegister();
    bool checkDocument();
    bool checkGrid();
    bool checkLitres();
    bool checkPlato();
    bool checkCounters();
    bool checkPositions();
    bool checkPosition(const char* control, const char* description);
    bool fail(std::string control, std::string message);

    bool splitShown_ = false;
    BrewStockLists lists_;
    double listsDate_ = 0; // the date the lists were built for
    BrewGrid grid_;
    std::string protocol_;
    BrewFigures figures_;
    BrewSplit split_;
    // The litres to package as the clerk typed them (nullopt: none typed, everything
    // brewed goes to packaging), and the text the window last showed in LITRI010: the
    // shown text is a display, never read back as a figure.
    std::optional<double> typedToPackage_;
    std::string shownToPackage_;
    BrewFigures packagingFigures_, lossFigures_;
    std::optional<BrewSaveResult> lastSave_;
    std::string focus_;
    std::function<void()> viewChanged_;
};

} // namespace accise
