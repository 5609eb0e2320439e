#include "cli/InterruptStop.h"

#include <csignal>

namespace brumeleaf::cli {

namespace {

// Written from the signal handler: a lock-free atomic is safe there.
std::atomic<bool> gInterrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

using Handler = void (*)(int);
Handler gPreviousInt = SIG_DFL;
Handler gPreviousTerm = SIG_DFL;

extern "C" void OnInterrupt(int signal) {
  gInterrupted.store(true);
  std::signal(signal, SIG_DFL);  // a second Ctrl-C (or termination request) is not ignored
}

}  // namespace

InterruptStop::InterruptStop() {
  gInterrupted.store(false);
  gPreviousInt = std::signal(SIGINT, OnInterrupt);
  // A termination request (kill, a service manager, a closing terminal session) stops the run
  // the same way, so that it too leaves no half-written file.
  gPreviousTerm = std::signal(SIGTERM, OnInterrupt);
}

InterruptStop::~InterruptStop() {
  std::signal(SIGINT, gPreviousInt);
  std::signal(SIGTERM, gPreviousTerm);
}

std::atomic<bool>& InterruptStop::Flag() { return gInterrupted; }

bool InterruptStop::Interrupted() const { return gInterrupted.load(); }

}  // namespace brumeleaf::cli
