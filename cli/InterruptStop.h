#pragma once
// Ctrl-C (or SIGTERM) during a run or a save: the first one asks the work to stop (the command
// then writes nothing and exits 1); a second one ends the program at once.

#include <atomic>

namespace brumeleaf::cli {

// Installs the handler for its lifetime and restores the previous one afterwards.
class InterruptStop {
 public:
  InterruptStop();
  ~InterruptStop();
  InterruptStop(const InterruptStop&) = delete;
  InterruptStop& operator=(const InterruptStop&) = delete;

  // The flag a RunContext polls.
  std::atomic<bool>& Flag();
  bool Interrupted() const;
};

}  // namespace brumeleaf::cli
