#pragma once
// The initial stock window (TFGIACENZA): the stock a register starts from, in mode
// "G" (a new initial stock), "I" (a correction that cancels a sent one) or "i" (a
// correction that replaces it). It starts from the movement buffer and the chosen
// register row that the command prepared; in "I" and "i" the corrected record is the
// selected record.
#include <string>
#include <vector>

#include "core/books/initialstock.h"
#include "logic/framework/entryform.h"

namespace accise {

namespace initialstockwindow {
inline constexpr const char* kNoteRequired = "Nota obbligatoria per le rettifiche";
inline constexpr const char* kNoProductList =
    "AL REGISTRO NON E' ASSOCIATO NESSUN PRODOTTO: SENZA PRODOTTI NON SI SA IN CHE UNITA' "
    "REGISTRARE LA GIACENZA. ASSOCIARE I PRODOTTI AL REGISTRO (Registri Doganali) E RIPETERE.";
inline constexpr const char* kNegativeStock = "LA GIACENZA INIZIALE NON PUO' ESSERE NEGATIVA";
inline constexpr const char* kKilogramsLabel = "Giacenza in KG.";
inline constexpr const char* kLitresLabel = "Giacenza in LITRI";
inline constexpr const char* kDegreesLabel = "Giacenza in ettogradi";
} // namespace initialstockwindow

class InitialStockLogic : public EntryFormLogic {
public:
    // The mode is the command's (ctx.mode): "G", "I" or "i".
    InitialStockLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);

    std::string title() const override;
    char mode() const { return mode_; }

    // Rprodotti: "code * description" per product of the register's list.
    const std::vector<std::string>& productLines() const { return productLines_; }
    StockUnit unit() const { return unit_; }
    // The caption of DOUBL1_3, and whether DOUBL2 and its caption are shown.
    std::string quantityLabel() const;
    bool degreesShown() const { return unit_ == StockUnit::LitresWithPlato; }

protected:
    void onOpen() override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    char mode_;
    std::vector<std::string> productLines_;
    StockUnit unit_ = StockUnit::None;
};

} // namespace accise
