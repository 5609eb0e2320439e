#include "cli/InterruptStop.h"

#include <csignal>

namespace brumeleaf::cli {

namespace {

// Written from the signal handler: a lock-free atomic is safe there.
std::atomic<bool> gInterrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

using Handler = void (*)(int);
Handler gPrevious = SIG_DFL;

extern "C" void OnInterrupt(int) {
  gInterrupted.store(true);
  std::signal(SIGINT, SIG_DFL);  // a second Ctrl-C is not ignored
}

}  // namespace

InterruptStop::InterruptStop() {
  gInterrupted.store(false);
  gPrevious = std::signal(SIGINT, OnInterrupt);
}

InterruptStop::~InterruptStop() { std::signal(SIGINT, gPrevious); }

std::atomic<bool>& InterruptStop::Flag() { return gInterrupted; }

bool InterruptStop::Interrupted() const { return gInterrupted.load(); }

}  // namespace brumeleaf::cli
