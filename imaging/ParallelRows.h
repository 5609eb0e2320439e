#pragma once
// Splits a pass whose rows do not depend on each other over several threads. Each thread
// receives a contiguous band of rows; the result is the same bytes as one thread would give,
// because no row reads what another row of the same pass writes.

#include <exception>
#include <thread>
#include <vector>

namespace brumeleaf {

// Threads used by row passes: the machine's cores unless set (1 forces one thread; 0 returns
// to the default). Tests compare one thread against several.
int RowPassThreads();
void SetRowPassThreads(int threads);

// Calls band(begin, end) for consecutive bands covering first..last-1. Bands are at least
// `minRows` rows high so that tiny pictures stay on the calling thread. An exception thrown in
// a band is rethrown here after every thread has finished.
template <class Band>
void ForEachRowBand(int first, int last, int minRows, Band&& band) {
  const int rows = last - first;
  if (rows <= 0) return;
  int threads = RowPassThreads();
  if (minRows < 1) minRows = 1;
  if (threads > rows / minRows) threads = rows / minRows;
  if (threads <= 1) {
    band(first, last);
    return;
  }
  std::vector<std::exception_ptr> failures(static_cast<std::size_t>(threads));
  std::vector<std::thread> workers;
  workers.reserve(static_cast<std::size_t>(threads - 1));
  auto run = [&](int index) {
    const int begin = first + static_cast<int>(static_cast<long long>(rows) * index / threads);
    const int end = first + static_cast<int>(static_cast<long long>(rows) * (index + 1) / threads);
    try {
      band(begin, end);
    } catch (...) {
      failures[static_cast<std::size_t>(index)] = std::current_exception();
    }
  };
  for (int i = 1; i < threads; ++i) workers.emplace_back(run, i);
  run(0);
  for (std::thread& worker : workers) worker.join();
  for (const std::exception_ptr& failure : failures)
    if (failure) std::rethrow_exception(failure);
}

}  // namespace brumeleaf
