#pragma once
// Shared test helpers: a fresh temporary folder per test and a recording prompt.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/files/prompt.h"

namespace accise::testing {

// A new empty folder, removed with everything in it when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// True when the tests run under Wine on Linux rather than on Windows itself: a few
// things Wine lacks (a TLS server side, a printer dialog of Qt's own) are skipped there.
bool runningUnderWine();

// Records every message and question; answers questions from a queue (No when empty).
class RecordingPrompt : public Prompt {
public:
    void information(const std::string& text) override;
    bool question(const std::string& text) override;

    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::vector<bool> answers;                        // consumed front to back
    std::function<void(int attempt)> onInformation;   // lets a test act while a message is "shown"
};

} // namespace accise::testing
