#include "logic/movements/recordselectioncommand.h"

#include "core/books/initialstock.h"
#include "core/books/recordselection.h"
#include "core/files/text1252.h"
#include "logic/movements/initialstockcommand.h"
#include "logic/shell/commands.h"

namespace accise {
namespace {

// The window of a record kind, for the duty modes.
std::optional<std::string> dutyWindow(const Movement& record, const CommandContext& ctx) {
    const std::string kind = trimmed(record.TIPREC);
    if (kind == "D") return std::string(kCreditsWindow);
    if (kind == "E") return exciseSummaryWindow(ctx);
    if (kind == "R") return std::string(kVoluntaryCorrectionWindow);
    return std::nullopt;
}

bool sameRecord(const Movement& a, const Movement& b) {
    return encodeMovement(a) == encodeMovement(b);
}

} // namespace

std::optional<std::string> prepareChosenRecord(CommandContext& ctx, Prompt& prompt) {
    const SelectionMode* mode = selectionMode(ctx.mode);
    if (!mode || ctx.chosenRecord < 0) return std::nullopt;
    int year = 0;
    if (mode->source != SelectionSource::InitialStocks) {
        try {
            year = std::stoi(ctx.workingYear);
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    const auto record = findMovement(selectionFile(ctx.folders, mode->source, year), ctx.chosenRecord);
    if (!record) {
        prompt.information(kChosenRecordGone);
        return std::nullopt;
    }
    // The number may now belong to another record, or the record may have been sent
    // meanwhile: the window must open only on the record the clerk chose.
    if (!sameRecord(*record, ctx.selectedRecord) || !selectable(ctx.mode, *record)) {
        prompt.information(kChosenRecordChanged);
        return std::nullopt;
    }
    ctx.selectedRecord = *record;

    switch (mode->source) {
    case SelectionSource::RegisterFile:
        ctx.movementBuffer = *record;
        return std::string(kMovementWindow);
    case SelectionSource::InitialStocks: {
        const auto reg = registerOfStock(ctx.folders, *record);
        if (!reg) return std::nullopt;
        ctx.chosenRegister = *reg;
        Movement buffer = initialStockBufferFor(*reg);
        buffer.DATMOV = record->DATMOV;
        buffer.QTAKG = record->QTAKG;
        buffer.ETTOGR = record->ETTOGR;
        buffer.QTALIT = record->QTALIT;
        buffer.ANNOTA = record->ANNOTA;
        ctx.movementBuffer = buffer;
        return std::string(kInitialStockWindow);
    }
    case SelectionSource::DutyFile:
        ctx.movementBuffer = *record;
        return dutyWindow(*record, ctx);
    case SelectionSource::GuaranteeFile:
        // The duty windows correct in modes T (cancel) and t (modify).
        ctx.movementBuffer = *record;
        ctx.mode = ctx.mode == 'F' ? 'T' : 't';
        return std::string(kGuaranteeWindow);
    }
    return std::nullopt;
}

void runRecordChangeCommand(const WindowRegistry& registry, CommandContext& ctx, Prompt& prompt) {
    ctx.chosenRecord = -1;
    if (!registry.run(kRecordSelection, ctx)) return;
    if (const auto window = prepareChosenRecord(ctx, prompt)) registry.run(*window, ctx);
}

} // namespace accise
