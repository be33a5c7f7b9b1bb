#pragma once
// The window that removes unsent records (TFCANCMOVIM): the unsent records of the
// command's mode (unsentcancel.h) as lines with a tick each; the clerk ticks, types
// "SI" in ECONF and leaves it, and the ticked records are removed.
#include <string>
#include <vector>

#include "core/books/unsentcancel.h"
#include "core/files/prompt.h"
#include "logic/framework/commandcontext.h"

namespace accise {

namespace cancelunsentwindow {
inline constexpr const char* kYesWord = "SI";
inline constexpr int kMinWidth = 680;
} // namespace cancelunsentwindow

class CancelUnsentLogic {
public:
    CancelUnsentLogic(CommandContext& ctx, Prompt& prompt);

    std::string title() const;

    // Where the cursor goes after the year or the confirmation field.
    enum class Focus { Year, List, Confirmation };

    // The window is shown: the current year, the list built once.
    void open();

    const std::string& yearText() const { return year_; }
    const std::vector<std::string>& lines() const { return list_.lines; }
    const CancellationList& list() const { return list_; }
    bool ticked(std::size_t line) const { return line < ticks_.size() && ticks_[line]; }
    void setTicked(std::size_t line, bool on);
    void tickAll();  // "Tutti"
    void tickNone(); // "Nessuno"
    // ECONF's text: emptied after every build and every valid year.
    const std::string& confirmationText() const { return confirmation_; }

    // The cursor leaves LANNO with `text`: a year outside 2008-2060 (or none) keeps it
    // there; another year than the last build's rebuilds the list (ticks are lost);
    // then ECONF is emptied and takes the cursor.
    Focus leaveYear(const std::string& text);

    // The cursor leaves ECONF with `text`: anything but "SI" sends it to the list;
    // "SI" removes the ticked records, tells the clerk about any left, and closes.
    Focus leaveConfirmation(const std::string& text);

    void abandon() { closeRequested_ = true; }
    bool closeRequested() const { return closeRequested_; }

    // Window width in pixels: the widest line × the list's font size, at least 680,
    // at most the maximum window width (when known).
    int windowWidth(int fontPointSize) const;

private:
    void build();

    CommandContext& ctx_;
    Prompt& prompt_;
    std::string year_;
    std::string builtYear_ = "0000";
    std::string confirmation_;
    CancellationList list_;
    std::vector<bool> ticks_;
    bool closeRequested_ = false;
};

} // namespace accise
