#pragma once
// Pictures and run contexts shared by the tests of the oil pastel and the pencil sketches.

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "imaging/Bitmap.h"
#include "imaging/Random.h"
#include "imaging/RunContext.h"
#include "SyntheticPhoto.h"

namespace brumeleaf::testing {

// Something like a photograph: a soft coloured gradient, a dark disc with a hard edge, a light
// bar and a little grain, so that edges, flat areas, light and dark parts all occur.
inline Bitmap PhotoLike(int width, int height) {
  Bitmap b(width, height);
  Random grain(77);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      int r = 60 + 150 * x / std::max(width, 1);
      int g = 90 + 100 * y / std::max(height, 1);
      int bl = 170 - 80 * x / std::max(width, 1);
      const int dx = x - width / 3, dy = y - height / 2;
      if (dx * dx + dy * dy < (width / 5) * (width / 5)) r = 40, g = 30, bl = 25;
      if (x > width * 2 / 3 && y > height / 5 && y < height / 3) r = 235, g = 225, bl = 200;
      const int n = static_cast<int>(grain.Next(9)) - 4;
      row[3 * x] = ClampLevel(bl + n);
      row[3 * x + 1] = ClampLevel(g + n);
      row[3 * x + 2] = ClampLevel(r + n);
    }
  }
  return b;
}

// A run context with its own generator, stop flag and progress record.
struct TestRun {
  explicit TestRun(std::array<int, 5> sliders, std::uint32_t seed = 1) : random(seed), ctx(Snapshot(sliders), random) {
    ctx.SetStopFlag(&stop);
    ctx.SetSink(&sink);
  }
  static ParameterSnapshot Snapshot(std::array<int, 5> sliders) {
    ParameterSnapshot p;
    p.s = sliders;
    return p;
  }
  Random random;
  std::atomic<bool> stop{false};
  RecordingSink sink;
  RunContext ctx;
};

}  // namespace brumeleaf::testing
