#pragma once
// Ctrl-C during a run: the first interrupt asks the run to stop (the command then writes
// nothing); a second one ends the program at once.

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
