#include "logic/movements/initialstockwindow.h"

#include "core/files/text1252.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "core/tables/registers.h"

namespace accise {

using namespace initialstockwindow;

namespace {

constexpr const char* kDateMask = "!00/00/0000;1;_";
constexpr int kQuantityDecimals = 5;

char modeOf(char mode) {
    return (mode == 'I' || mode == 'i') ? mode : 'G';
}

} // namespace

InitialStockLogic::InitialStockLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : EntryFormLogic(ctx, prompt, services), mode_(modeOf(ctx.mode)) {
    using K = KeyFilter;
    using L = LetterCase;
    const bool cancelling = mode_ == 'I';
    FieldSpec date("DATMOV", 10);
    date.withMask(kDateMask);
    if (mode_ != 'G') date.shownOnly();
    addField(date);
    FieldSpec quantity("DOUBL1_3", 20, L::AsTyped, K::Decimal);
    FieldSpec degrees("DOUBL2", 20, L::AsTyped, K::Decimal);
    if (cancelling) {
        quantity.shownOnly();
        degrees.shownOnly();
    }
    addField(quantity);
    addField(degrees);
    addField(FieldSpec("ANNOTA", 250));
    addField(FieldSpec("lregistro").shownOnly());
    addField(FieldSpec("LRETTIFICA").shownOnly());
}

std::string InitialStockLogic::title() const {
    switch (mode_) {
    case 'I':
        return "RETTIFICA: CANCELLA giacenze iniziali inviate";
    case 'i':
        return "RETTIFICA: MODIFICA giacenze iniziali inviate";
    default:
        return "Giacenze iniziali";
    }
}

std::string InitialStockLogic::quantityLabel() const {
    return unit_ == StockUnit::Kilograms || unit_ == StockUnit::None ? kKilogramsLabel : kLitresLabel;
}

void InitialStockLogic::onOpen() {
    const Movement& buffer = context().movementBuffer;
    const TableRecord& reg = context().chosenRegister;
    setValue("DATMOV", formatDate(buffer.DATMOV));
    setValue("ANNOTA", "");
    if (mode_ == 'G') {
        setValue("DOUBL1_3", "");
        setValue("DOUBL2", "");
        setValue("LRETTIFICA", "");
        setFocusAfterOpen("DATMOV");
    } else {
        setValue("DOUBL1_3", formatNumber(buffer.QTAKG + buffer.QTALIT, 0, kQuantityDecimals));
        setValue("DOUBL2", formatNumber(buffer.ETTOGR, 0, kQuantityDecimals));
        setValue("LRETTIFICA", mode_ == 'I' ? "RETTIFICA: cancella il dato inviato "
                                            : "RETTIFICA: modifica il dato inviato ");
        setFocusAfterOpen(mode_ == 'I' ? "ANNOTA" : "DOUBL1_3");
    }
    setValue("lregistro", trimmed(registerTypeName(reg.ints[kRegTypeInt])) + " prot. " +
                              trimmed(buffer.NUMPRO) + " del " + trimmed(buffer.ANNPRO));

    productLines_.clear();
    const std::vector<TableRecord> products = readProductList(folders(), reg.number);
    for (const TableRecord& p : products)
        productLines_.push_back(p.col[0] + " * " + p.col[1]);
    unit_ = stockUnitOf(products);
}

std::optional<std::string> InitialStockLogic::onConfirmChecks() {
    if (!parseDate(value("DATMOV"))) return "DATMOV";
    // A cancelling correction copies the sent quantities: only the note counts there.
    if (mode_ != 'I') {
        const std::string firstField = mode_ == 'G' ? "DATMOV" : "DOUBL1_3";
        if (unit_ == StockUnit::None) {
            prompt().information(kNoProductList);
            return firstField;
        }
        for (const char* field : {"DOUBL1_3", "DOUBL2"}) {
            if (std::string_view(field) == "DOUBL2" && !degreesShown()) continue;
            if (parseDecimal(value(field), kQuantityDecimals) < 0) {
                prompt().information(kNegativeStock);
                return std::string(field);
            }
        }
    }
    if (mode_ != 'G' && isEmptyField(value("ANNOTA"))) {
        prompt().information(kNoteRequired);
        return "ANNOTA";
    }
    return std::nullopt;
}

void InitialStockLogic::onSave() {
    Movement stock = context().movementBuffer;
    stock.DATMOV = *parseDate(value("DATMOV"));
    setStockQuantities(stock, unit_, parseDecimal(value("DOUBL1_3"), kQuantityDecimals),
                       parseDecimal(value("DOUBL2"), kQuantityDecimals));
    stock.ANNOTA = value("ANNOTA");
    stock.TIPREC = "C";
    stock.TIPOPE = "I";
    stock.TIPMOV = "G";

    if (mode_ == 'G') {
        if (addInitialStock(folders(), stock, prompt()).outcome == StockAddOutcome::AlreadyRegistered)
            prompt().information(kInitialStockAlreadyRegistered);
    } else {
        const std::int32_t corrected = context().selectedRecord.NUMREC;
        const auto result =
            correctInitialStock(folders(), corrected, value("ANNOTA"),
                                mode_ == 'i' ? std::optional<Movement>(stock) : std::nullopt, prompt(),
                                context().selectedRecord);
        if (result.outcome != CorrectionOutcome::Done)
            prompt().information(correctionRefusal(result.outcome));
    }
    requestClose();
}

} // namespace accise
