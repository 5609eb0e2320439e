#pragma once
// Where the oil pastel's next stamps will land, found ahead of the stamp loop so that what
// they read can be loaded while the current one is tried.
//
// A stamp position is the first pair of draws (x, y) that lands on a search target, so the
// next positions follow from the generator's state and the target bits alone. A copy of the
// generator runs a few attempts ahead and queues the positions it finds; a second copy runs
// some draws further ahead still and asks for the bits those draws will test. The real
// generator is never touched. When a kept stamp changes the bits, or the loop draws for
// something else (a new stamp angle), the queue no longer matches the real search: the next
// Follow notices that the real generator's state differs from the one the queue expected and
// starts again from it. A wrong guess costs only a wasted fetch.
//
// A queued position whose whole search ran on the bits as they still are (no Refresh since it
// began) and which starts from the real generator's state is exactly what the loop's own
// search would find: Take hands it over with the generator's state after it, so the loop need
// not repeat the draws. Any other position the loop searches for itself.

#include <cstdint>

#include "effects/drawing/StampSearchTargets.h"
#include "imaging/Random.h"

namespace brumeleaf {

class StampLookahead {
 public:
  static constexpr int kMaxDepth = 16;

  StampLookahead(const StampSearchTargets& targets, int width, int height)
      : targets_(targets), width_(static_cast<std::uint32_t>(width)), height_(static_cast<std::uint32_t>(height)) {}

  // Call after each position the loop has found (with any other draws that followed): keeps
  // `depth` (1 to kMaxDepth) positions queued after it, calling found(x, y) for each newly
  // queued one. Gives up after kDrawBudget draws in one call (targets may be rare); the
  // search then goes on at the next call.
  template <typename Found>
  void Follow(const Random& real, int depth, Found&& found) {
    if (count_ > 0 && queue_[head_].seed == real.Seed()) {
      head_ = (head_ + 1) % kMaxDepth;
      --count_;
    } else {
      Restart(real);
    }
    if (depth > kMaxDepth) depth = kMaxDepth;
    for (int draws = 0; count_ < depth && draws < kDrawBudget; ++draws) {
      const int x = static_cast<int>(peek_.Next(width_));
      const int y = static_cast<int>(peek_.Next(height_));
      AdvanceRaw();
      if (!targets_.Qualifies(x, y)) continue;
      queue_[(head_ + count_) % kMaxDepth] = Entry{searchFrom_, peek_.Seed(), x, y, searchVersion_};
      ++count_;
      StartSearch();
      found(x, y);
    }
  }

  // When the next queued position is sure (see above) for the real generator: sets (x, y) to
  // it, moves `real` past its draws and returns true. Otherwise changes nothing. The version
  // only grows, so targets still at the search's starting version did not change during it.
  bool Take(Random& real, int& x, int& y) const {
    if (count_ == 0) return false;
    const Entry& e = queue_[head_];
    if (e.version != targets_.Version() || e.from != real.Seed()) return false;
    x = e.x;
    y = e.y;
    real.SetSeed(e.seed);
    return true;
  }

  int Queued() const { return count_; }
  // The k-th queued position (0 = the next one the loop will find, if nothing changes).
  void At(int k, int& x, int& y) const {
    const Entry& e = queue_[(head_ + k) % kMaxDepth];
    x = e.x;
    y = e.y;
  }

 private:
  static constexpr int kDrawBudget = 64;
  // Draw pairs the bit fetches run ahead of the queue's search.
  static constexpr int kRawLead = 24;

  struct Entry {
    std::uint32_t from;  // the generator's state before the search for (x, y)
    std::uint32_t seed;  // the generator's state right after the draws that found (x, y)
    int x, y;
    std::uint64_t version;  // the targets' version when the search began
  };

  // The peeking copy begins the search for the next position.
  void StartSearch() {
    searchFrom_ = peek_.Seed();
    searchVersion_ = targets_.Version();
  }

  void Restart(const Random& real) {
    head_ = count_ = 0;
    peek_ = real;
    StartSearch();
    raw_ = real;
    for (int k = 0; k < kRawLead; ++k) AdvanceRaw();
  }
  void AdvanceRaw() {
    const int x = static_cast<int>(raw_.Next(width_));
    const int y = static_cast<int>(raw_.Next(height_));
    targets_.FetchBit(x, y);
  }

  const StampSearchTargets& targets_;
  const std::uint32_t width_, height_;
  Random peek_;
  Random raw_;
  std::uint32_t searchFrom_ = 0;
  std::uint64_t searchVersion_ = 0;
  Entry queue_[kMaxDepth] = {};
  int head_ = 0;
  int count_ = 0;
};

}  // namespace brumeleaf
