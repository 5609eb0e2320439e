#pragma once
// Laying Pencil sketch 4's strokes tile by tile. A run lays millions of small strokes at random
// places of the drawing, and laid one after another each stroke's rows come from memory. But a
// stroke changes each pixel from that pixel's own value alone (the tint comes from the sample,
// which is read from the source), so strokes that do not share a pixel may be laid in any
// order: only the strokes over one pixel must keep their order. A batch of strokes is therefore
// sorted by the tiles it touches, stably, and laid tile after tile, each stroke clipped to the
// tile: every pixel receives the same strokes in the same order as before, while the tile
// stays in the cache. Tiles share no pixel, so they can also be laid by several threads.

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/Bitmap.h"

namespace brumeleaf {

struct StampPixel {
  std::int16_t i, j;
  std::uint8_t level[4];  // blue, green, red, and 0 so that the four bytes load as one
};

// Neighbouring pixels of one stamp row, columns i .. i + length - 1, whose levels lie at
// PreparedStamp::levels[first .. first + 3 length - 1] (blue, green, red): the drawing's bytes
// under a run are consecutive too, so a run is laid eight bytes at a time.
struct StampRun {
  std::int16_t i = 0;
  std::int16_t length = 0;
  std::int32_t first = 0;
};

// One stroke of the table resampled to one size, reduced to the pixels that can darken the
// drawing, rows top to bottom and columns left to right; the same pixels again as runs.
struct PreparedStamp {
  int size = 0;
  std::vector<StampPixel> pixels;
  std::vector<int> rowStart;  // index of the first pixel of each row; size + 1 entries
  std::vector<StampRun> runs;
  std::vector<int> runStart;  // index of the first run of each row; size + 1 entries
  std::vector<std::uint8_t> levels;  // the runs' levels, with 8 bytes to spare at the end
};

PreparedStamp PrepareStamp(int entry, int size);

// Resampled strokes. A run lays millions of strokes but only a few thousand different (angle,
// size) pairs, and every run and preview the same ones, so those up to kLargestSharedSize are
// prepared once for the whole program, by whichever run asks first (at most 360 x 58 of them,
// about 8,000 and 4 MB after a 12-megapixel run). Larger ones are this cache's own, kept
// until Release, so that a batch of planned strokes can point at them.
class StampCache {
 public:
  static constexpr int kLargestSharedSize = 64;
  const PreparedStamp& Get(int entry, int size);
  // Drops the strokes larger than the shared sizes.
  void Release() { large_.clear(); }

 private:
  std::vector<std::unique_ptr<PreparedStamp>> large_;
};

// How a stroke is mixed into the drawing: v = (keep d + (w d + (256 - w) s) div 256) div
// (keep + 1), keep being 4 for edge strokes and 5 for shading strokes, plus a tint offset per
// channel, then clamped to 0..255.
struct StrokeMix {
  int weight = 0;
  int offset[3] = {0, 0, 0};  // blue, green, red
  bool edge = true;           // keep 4 (edge stroke) or 5 (shading stroke)
};

// A stroke decided by the sampling and not yet laid: the stamp centred on (x, y).
struct PlannedStroke {
  const PreparedStamp* stamp = nullptr;
  int x = 0;
  int y = 0;
  int size = 0;  // the stamp's, at hand for sorting without reaching into the stamp
  StrokeMix mix;
};

// Lays `strokes` in their order into `drawing`, never touching its last column and last row.
// The result equals laying them one after another.
// Runs are laid 32 bytes at a time where the processor has AVX-512, else eight at a time;
// `narrow` keeps to the eight-byte path (for the tests).
void LayStrokes(const std::vector<PlannedStroke>& strokes, Bitmap& drawing, bool narrow = false);

}  // namespace brumeleaf
