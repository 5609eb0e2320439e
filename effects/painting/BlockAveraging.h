#pragma once
// Edge-preserving smoothing by 2 x 2 blocks: each block's top-left pixel A is averaged with
// those of its three neighbours (right, below, diagonal) whose colour is close to it, red
// counting double. The closeness threshold grows with A's brightness, so light areas merge
// more readily than dark ones. Passes alternate the block grid between offsets 0 and 1, so
// colours spread across block boundaries over the passes.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>

#include "imaging/Bitmap.h"

namespace brumeleaf {

// The difference that decides a merge: max(2 |dR|, |dG|, |dB|) (bytes are blue, green, red).
inline int BlockDifference(const std::uint8_t* a, const std::uint8_t* n) {
  const int red = 2 * std::abs(n[2] - a[2]);
  const int green = std::abs(n[1] - a[1]);
  const int blue = std::abs(n[0] - a[0]);
  return std::max(red, std::max(green, blue));
}
// The merge threshold of a block whose top-left pixel is `a`: (R + G + B) div 30 - 25 + c.
inline int BlockThreshold(const std::uint8_t* a, int blending) { return (a[0] + a[1] + a[2]) / 30 - 25 + blending; }

// One pass with the grid at offset k mod 2. Blocks never overlap within a pass, so rows of
// blocks run in parallel with the same bytes as one thread.
void BlockAveragingPass(Bitmap& image, int k, int blending);

// Passes k = 0 .. passes - 1. `beforePass(k)` runs before each pass (progress reports); when it
// returns false the remaining passes are skipped and the image keeps the last whole pass.
// Returns false when stopped that way. Between passes the image's rows are held in another
// arrangement of their bytes, so `beforePass` must not read or show the image.
bool BlockAveraging(Bitmap& image, int passes, int blending, const std::function<bool(int k)>& beforePass);

}  // namespace brumeleaf
