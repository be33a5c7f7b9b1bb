#include "cli/cliprompt.h"

#include <ostream>
#include <random>
#include <thread>

namespace accise::cli {

WaitingPrompt::WaitingPrompt(std::ostream& err, std::chrono::milliseconds limit) : err_(err), limit_(limit) {}

void WaitingPrompt::information(const std::string& text) {
    const auto now = std::chrono::steady_clock::now();
    if (!waiting_) {
        waiting_ = true;
        waitingSince_ = now;
        std::string line = text;
        for (char& c : line)
            if (c == '\r') c = ' ';
        err_ << line << "(attendo)" << std::endl;
    } else if (now - waitingSince_ > limit_) {
        waiting_ = false;
        throw IoError("", "il file è ancora bloccato da un altro utente dopo " +
                              std::to_string(limit_.count() / 1000) + " secondi: rinuncio");
    }
    // A short, slightly random pause, so that several waiting writers do not retry in step.
    static thread_local std::minstd_rand random(std::random_device{}());
    std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 30));
}

bool WaitingPrompt::question(const std::string&) { return false; }

} // namespace accise::cli
