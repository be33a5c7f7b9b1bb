#include "logic/reportwindows/stocksearchwindow.h"

#include "core/reports/stocksearchprint.h"
#include "core/tables/dates.h"
#include "logic/reportwindows/searchdates.h"

namespace accise {

using namespace stocksearchwindow;

namespace {
constexpr const char* kDateMask = "!99/99/0000;1;_";
}

StockSearchLogic::StockSearchLogic(CommandContext& ctx, Prompt& prompt, FormServices& services, std::string from)
    : EntryFormLogic(ctx, prompt, services), initialFrom_(std::move(from)) {
    addField(FieldSpec("MDADA", 10).withMask(kDateMask));
    addField(FieldSpec("MDAAL", 10).withMask(kDateMask));
}

void StockSearchLogic::onOpen() {
    setValue("MDADA", initialFrom_);
    activated();
}

void StockSearchLogic::activated() {
    setValue("MDAAL", formatDate(todayDayNumber()));
    setFocusAfterOpen("MDADA");
}

std::optional<std::string> StockSearchLogic::onConfirmChecks() {
    const auto from = typedSearchDate(value("MDADA"));
    if (!from) return "MDADA";
    const auto to = typedSearchDate(value("MDAAL"));
    if (!to || *to < *from) return "MDAAL";
    from_ = *from;
    to_ = *to;
    return std::nullopt;
}

void StockSearchLogic::onSave() {
    StockSearchPrint print{formatDate(from_), formatDate(to_), runStockSearch(folders(), from_, to_)};
    listed_ = print.rows.size();
    services().showReport({title(), PageOrientation::Landscape,
                           [print = std::move(print)](PageCanvas& canvas) { drawStockSearch(canvas, print); }});
    activated(); // back from the preview
}

} // namespace accise
