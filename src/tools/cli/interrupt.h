#pragma once
// Ctrl+C and termination requests (SIGINT, SIGTERM, and SIGHUP where it exists).
// While a command that takes lock markers runs, a request is held: the command stops
// at its next wait or when its change is done, after releasing its markers, so an
// interruption leaves neither a marker nor a half-written record. Elsewhere (the
// reading commands, which hold nothing) the process ends at once.
#include <stdexcept>

namespace accise::cli {

void installInterruptHandlers();

// The request held so far: its signal number, or 0.
int pendingInterrupt();

// Holds requests for its lifetime.
class HeldInterrupts {
public:
    HeldInterrupts();
    ~HeldInterrupts();
    HeldInterrupts(const HeldInterrupts&) = delete;
    HeldInterrupts& operator=(const HeldInterrupts&) = delete;
};

// Thrown by a waiting command when a request arrived: it holds no marker yet.
struct Interrupted : std::runtime_error {
    explicit Interrupted(int number) : std::runtime_error("interrotto"), signal(number) {}
    int signal;
};

} // namespace accise::cli
