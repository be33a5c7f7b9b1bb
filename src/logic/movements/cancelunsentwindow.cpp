#include "logic/movements/cancelunsentwindow.h"

#include <algorithm>

#include "core/books/recordselection.h"
#include "core/files/text1252.h"
#include "core/tables/dates.h"
#include "core/tables/keyfilters.h"

namespace accise {

using namespace cancelunsentwindow;

namespace {

bool allDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

CancelUnsentLogic::CancelUnsentLogic(CommandContext& ctx, Prompt& prompt) : ctx_(ctx), prompt_(prompt) {}

std::string CancelUnsentLogic::title() const {
    const CancellationMode* mode = cancellationMode(ctx_.mode);
    return mode ? mode->caption : std::string();
}

void CancelUnsentLogic::open() {
    closeRequested_ = false;
    year_ = std::to_string(yearOf(todayDayNumber()));
    builtYear_ = "0000";
    build();
}

void CancelUnsentLogic::build() {
    builtYear_ = year_;
    list_ = buildCancellationList(ctx_.folders, ctx_.mode, std::stoi(year_), ctx_.alcopp);
    ticks_.assign(list_.lines.size(), false);
    confirmation_.clear();
}

void CancelUnsentLogic::setTicked(std::size_t line, bool on) {
    if (line < ticks_.size()) ticks_[line] = on;
}

void CancelUnsentLogic::tickAll() {
    std::fill(ticks_.begin(), ticks_.end(), true);
}

void CancelUnsentLogic::tickNone() {
    std::fill(ticks_.begin(), ticks_.end(), false);
}

CancelUnsentLogic::Focus CancelUnsentLogic::leaveYear(const std::string& text) {
    if (!allDigits(text)) {
        prompt_.information("'" + text + "' non è un numero intero valido");
        return Focus::Year;
    }
    const std::string year = text.substr(0, 4);
    const int value = std::stoi(year);
    if (value < kFirstWorkingYear || value > kLastWorkingYear) return Focus::Year;
    year_ = year;
    if (year_ != builtYear_) build();
    confirmation_.clear();
    return Focus::Confirmation;
}

CancelUnsentLogic::Focus CancelUnsentLogic::leaveConfirmation(const std::string& text) {
    confirmation_ = toUpperAscii(text);
    if (confirmation_ != kYesWord) return Focus::List;
    std::vector<std::size_t> ticked;
    for (std::size_t i = 0; i < ticks_.size(); ++i)
        if (ticks_[i]) ticked.push_back(i);
    // The list was built from the file of the last build's year.
    const RemovalResult result =
        removeUnsentRecords(ctx_.folders, ctx_.mode, std::stoi(builtYear_), ticked, prompt_);
    if (const std::string message = leftRecordsMessage(ctx_.mode, ctx_.alcopp, result.left); !message.empty())
        prompt_.information(message);
    if (const std::string message = shortStockMessage(ctx_.mode, ctx_.alcopp, result.shortStock); !message.empty())
        prompt_.information(message);
    closeRequested_ = true;
    return Focus::List;
}

int CancelUnsentLogic::windowWidth(int fontPointSize) const {
    int width = static_cast<int>(list_.widest) * fontPointSize;
    width = std::max(width, kMinWidth);
    if (ctx_.maxWindowWidth > 0) width = std::min(width, ctx_.maxWindowWidth);
    return width;
}

} // namespace accise
