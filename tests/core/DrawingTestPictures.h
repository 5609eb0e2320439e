#pragma once
// Small synthetic pictures and a recording progress sink for the drawing-effect tests.

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"
#include "TestPictures.h"

namespace brumeleaf::inktests {

using brumeleaf::testing::Flat;

// A photograph stand-in: smooth colour gradients, a dark disc, a bright bar and some texture.
inline Bitmap Scene(int width, int height) {
  Bitmap b(width, height);
  std::uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1103515245u + 12345u;
      const int grain = static_cast<int>((noise >> 16) % 21) - 10;
      int r = 40 + 180 * x / std::max(width, 1) + grain;
      int g = 60 + 150 * y / std::max(height, 1) + grain;
      int bl = 200 - 120 * x / std::max(width, 1) + grain;
      const int dx = x - width / 3, dy = y - height / 2;
      if (dx * dx + dy * dy < (width * width) / 25) r = g = bl = 30 + grain;
      if (x > 2 * width / 3 && x < 2 * width / 3 + width / 10) r = g = bl = 235;
      b.SetPixel(x, y, MakeColour(ClampLevel(r), ClampLevel(g), ClampLevel(bl)));
    }
  }
  return b;
}

inline bool IsGrey(Colour c) { return RedOf(c) == GreenOf(c) && GreenOf(c) == BlueOf(c); }

struct ProgressCall {
  int step, total, pass, passes;
};

// Records every progress report; may raise the stop flag when `stopWhen` says so.
class StoppingSink : public ProgressSink {
 public:
  std::vector<ProgressCall> calls;
  std::function<bool(const ProgressCall&)> stopWhen;
  std::atomic<bool> stop{false};

  void ShowProgress(int step, int total, int pass, int passes) override {
    calls.push_back({step, total, pass, passes});
    if (stopWhen && stopWhen(calls.back())) stop = true;
  }
  void Attach(RunContext& ctx) {
    ctx.SetSink(this);
    ctx.SetStopFlag(&stop);
  }
};

inline ParameterSnapshot Sliders(int code, int s1, int s2, int s3, int s4, int s5) {
  ParameterSnapshot p;
  p.code = code;
  p.s = {s1, s2, s3, s4, s5};
  return p;
}

}  // namespace brumeleaf::inktests
