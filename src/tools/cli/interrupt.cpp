#include "cli/interrupt.h"

#include <csignal>
#include <cstdlib>

namespace accise::cli {
namespace {

volatile std::sig_atomic_t held = 0;
volatile std::sig_atomic_t pending = 0;

extern "C" void onInterrupt(int signal) {
    if (!held) std::_Exit(128 + signal);
    pending = signal;
}

} // namespace

void installInterruptHandlers() {
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
#ifdef SIGHUP
    std::signal(SIGHUP, onInterrupt);
#endif
}

int pendingInterrupt() { return pending; }

HeldInterrupts::HeldInterrupts() { held = 1; }

HeldInterrupts::~HeldInterrupts() { held = 0; }

} // namespace accise::cli
