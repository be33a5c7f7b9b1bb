#include "test_support.h"

#include <atomic>
#include <random>
#ifdef _WIN32
#include <process.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace accise::testing {
namespace {

int processId() {
#ifdef _WIN32
    return _getpid();
#else
    return ::getpid();
#endif
}

} // namespace

bool runningUnderWine() {
#ifdef _WIN32
    // Wine's ntdll exports its version; Windows' does not.
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("accise-test-" + std::to_string(processId()) + "-" + std::to_string(counter++) + "-" +
             std::to_string(rd() % 100000));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void RecordingPrompt::information(const std::string& text) {
    messages.push_back(text);
    if (onInformation) onInformation(static_cast<int>(messages.size()));
}

bool RecordingPrompt::question(const std::string& text) {
    questions.push_back(text);
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

} // namespace accise::testing
