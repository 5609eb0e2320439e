#pragma once
// The program-wide flags that coordinate runs, previews, scripts and batches. The interface
// thread owns them; the two a computation reads while it runs on its worker are atomic.

#include <atomic>

namespace brumeleaf {

struct AppFlags {
  std::atomic<bool> StopRequested{false};
  std::atomic<bool> UserCancelled{false};
  bool Processing = false;
  bool SilentRun = false;
  bool ReopenParameters = false;
  bool SourceChanged = true;
  int PreviewBusy = 0;
};

}  // namespace brumeleaf
