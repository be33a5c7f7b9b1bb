#include "cli/cliprompt.h"

#include <cstdio>
#include <ostream>
#include <random>
#include <thread>

#include "cli/interrupt.h"
#include "core/files/lock.h"
#include "core/reports/booksaudit.h"

namespace accise::cli {

namespace fs = std::filesystem;

WaitingPrompt::WaitingPrompt(std::ostream& err, std::chrono::milliseconds limit) : err_(err), limit_(limit) {}

void WaitingPrompt::startOperation(const fs::path& file) {
    file_ = file;
    waiting_ = false;
}

void WaitingPrompt::information(const std::string&) {
    if (const int signal = pendingInterrupt()) throw Interrupted(signal);
    const auto now = std::chrono::steady_clock::now();
    const fs::path marker = lockMarkerOf(file_);
    if (!waiting_) {
        waiting_ = true;
        waitingSince_ = now;
        err_ << "accise-cli: il file " << file_.string() << " è bloccato dal segnalino " << marker.string()
             << ": attendo al massimo " << secondsText(limit_) << " secondi" << std::endl;
    } else if (now - waitingSince_ > limit_) {
        waiting_ = false;
        throw IoError(marker, "il segnalino di blocco è ancora presente dopo " + secondsText(limit_) +
                                  " secondi: rinuncio. " + leftoverMarkerAdvice(file_));
    }
    // A short, slightly random pause, so that several waiting writers do not retry in step.
    static thread_local std::minstd_rand random(std::random_device{}());
    std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 30));
}

bool WaitingPrompt::question(const std::string&) { return false; }

std::string secondsText(std::chrono::milliseconds time) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(time.count()) / 1000.0);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    for (char& c : s)
        if (c == '.') c = ',';
    return s;
}

std::string ageOf(const fs::path& file) { return fileAgeText(file); }

std::string leftoverMarkerAdvice(const fs::path& file) { return accise::leftoverMarkerAdvice(file); }

} // namespace accise::cli
