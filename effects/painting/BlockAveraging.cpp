#include "effects/painting/BlockAveraging.h"

#include <algorithm>
#include <cstdlib>

#include "imaging/ParallelRows.h"

namespace brumeleaf {

void BlockAveragingPass(Bitmap& image, int k, int blending) {
  const int offset = k % 2;
  const int blockRows = image.Height() / 2 - 1;  // r = 0 .. H div 2 - 2
  const int blockColumns = image.Width() / 2 - 1;
  if (blockRows <= 0 || blockColumns <= 0) return;
  const auto rows = image.RowTable();
  ForEachRowBand(0, blockRows, 32, [&](int first, int last) {
    for (int r = first; r < last; ++r) {
      const int y = 2 * r + offset;
      std::uint8_t* top = rows[static_cast<std::size_t>(y)];
      std::uint8_t* bottom = rows[static_cast<std::size_t>(y + 1)];
      for (int c = 0; c < blockColumns; ++c) {
        const int x = 2 * c + offset;
        std::uint8_t* a = top + 3 * x;
        std::uint8_t* others[3] = {a + 3, bottom + 3 * x, bottom + 3 * x + 3};
        const int t = BlockThreshold(a, blending);
        int sum[3] = {a[0], a[1], a[2]};
        int count = 1;
        bool added[3] = {false, false, false};
        for (int i = 0; i < 3; ++i) {
          if (BlockDifference(a, others[i]) < t) {
            added[i] = true;
            ++count;
            for (int ch = 0; ch < 3; ++ch) sum[ch] += others[i][ch];
          }
        }
        if (count == 1) continue;
        std::uint8_t mean[3];
        for (int ch = 0; ch < 3; ++ch) {
          int m = sum[ch] / count;
          if (sum[ch] % count > count / 2) ++m;
          mean[ch] = static_cast<std::uint8_t>(std::min(m, 255));
        }
        for (int ch = 0; ch < 3; ++ch) a[ch] = mean[ch];
        for (int i = 0; i < 3; ++i)
          if (added[i])
            for (int ch = 0; ch < 3; ++ch) others[i][ch] = mean[ch];
      }
    }
  });
}

bool BlockAveraging(Bitmap& image, int passes, int blending, const std::function<bool(int k)>& beforePass) {
  for (int k = 0; k < passes; ++k) {
    if (beforePass && !beforePass(k)) return false;
    BlockAveragingPass(image, k, blending);
  }
  return true;
}

}  // namespace brumeleaf
