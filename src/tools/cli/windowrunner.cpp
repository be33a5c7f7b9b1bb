#include "cli/windowrunner.h"

#include "core/files/lock.h"

namespace accise::cli {

WindowPrompt::WindowPrompt(WaitingPrompt& waiting) : waiting_(waiting) {
    const std::string probe = lockWaitMessage("\x01");
    lockPrefix_ = probe.substr(0, probe.find('\x01'));
}

void WindowPrompt::information(const std::string& text) {
    if (!lockPrefix_.empty() && text.rfind(lockPrefix_, 0) == 0) waiting_.information(text);
    else messages.push_back(text);
}

} // namespace accise::cli
