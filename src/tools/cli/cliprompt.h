#pragma once
// How the command-line tool meets a lock marker: nobody is there to press OK, so it
// says once that it is waiting, retries after short pauses, never takes a marker
// over on its own, and gives up after a time limit.
#include <chrono>
#include <iosfwd>

#include "common/ioerror.h"
#include "common/prompt.h"

namespace accise::cli {

class WaitingPrompt : public Prompt {
public:
    WaitingPrompt(std::ostream& err, std::chrono::milliseconds limit);
    void information(const std::string& text) override;
    bool question(const std::string& text) override;
    // Called before each locked operation: the time limit counts from its first wait.
    void startOperation() { waiting_ = false; }

private:
    std::ostream& err_;
    std::chrono::milliseconds limit_;
    std::chrono::steady_clock::time_point waitingSince_{};
    bool waiting_ = false;
};

} // namespace accise::cli
