#include "imaging/ParallelRows.h"

#include <algorithm>
#include <atomic>

namespace brumeleaf {

namespace {
std::atomic<int> chosenThreads{0};
}

int RowPassThreads() {
  const int chosen = chosenThreads.load();
  if (chosen > 0) return chosen;
  const unsigned cores = std::thread::hardware_concurrency();
  return std::clamp(static_cast<int>(cores), 1, 16);
}

void SetRowPassThreads(int threads) { chosenThreads.store(std::max(threads, 0)); }

}  // namespace brumeleaf
