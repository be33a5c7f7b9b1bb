#pragma once
// How the command-line tool meets a lock marker: nobody is there to press OK, so it
// says once that it is waiting, retries after short pauses, never takes a marker
// over on its own, and gives up after a time limit, naming the marker and how to
// remove one left behind by a program that stopped.
#include <chrono>
#include <filesystem>
#include <iosfwd>

#include "core/files/ioerror.h"
#include "core/files/prompt.h"

namespace accise::cli {

class WaitingPrompt : public Prompt {
public:
    WaitingPrompt(std::ostream& err, std::chrono::milliseconds limit);
    void information(const std::string& text) override;
    bool question(const std::string& text) override;
    // Called before each locked operation on `file`: the time limit counts from its first wait.
    void startOperation(const std::filesystem::path& file);

private:
    std::ostream& err_;
    std::chrono::milliseconds limit_;
    std::filesystem::path file_;
    std::chrono::steady_clock::time_point waitingSince_{};
    bool waiting_ = false;
};

// Seconds as the messages show them: "60", "0,5".
std::string secondsText(std::chrono::milliseconds time);

// The age of a file's last change, in words ("3 minuti", "2 ore"), or "" when unknown.
std::string ageOf(const std::filesystem::path& file);

// What to tell about a lock marker found in place.
std::string leftoverMarkerAdvice(const std::filesystem::path& file);

} // namespace accise::cli
