#pragma once
// The initial-stock search window (TFRICGIACENZE): prints the initial stocks whose
// stock date lies in a period. No export file.
#include <string>

#include "logic/framework/entryform.h"

namespace accise {

namespace stocksearchwindow {
inline constexpr const char* kTitle = "Ricerca giacenze iniziali";
inline constexpr const char* kFirstFrom = "01/01/2009"; // "Dalla data" when the program starts
} // namespace stocksearchwindow

class StockSearchLogic : public EntryFormLogic {
public:
    // `from` is "Dalla data" as the operator left it at the last showing (the window
    // keeps it; the program keeps it in between).
    StockSearchLogic(CommandContext& ctx, Prompt& prompt, FormServices& services,
                     std::string from = stocksearchwindow::kFirstFrom);

    std::string title() const override { return stocksearchwindow::kTitle; }

    // The window becomes active (shown, or back from the preview): "Alla data" is today.
    void activated();

    // Records listed by the last search.
    std::size_t listed() const { return listed_; }

protected:
    void onOpen() override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    std::size_t listed_ = 0;
    std::string initialFrom_;
    double from_ = 0, to_ = 0;
};

} // namespace accise
