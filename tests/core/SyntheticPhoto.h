#pragma once
// Small photo-like test pictures: smooth colour gradients with a few sharp-edged shapes, so that
// effects see both flat areas and edges.

#include <array>
#include <vector>

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf::testing {

inline Bitmap SyntheticPhoto(int width, int height) {
  Bitmap b(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int r = 40 + 180 * x / (width > 1 ? width - 1 : 1);
      int g = 60 + 150 * y / (height > 1 ? height - 1 : 1);
      int bl = 200 - (r + g) / 4;
      const int dx = x - width / 3, dy = y - height / 2;
      if (dx * dx + dy * dy < (width * width) / 25) r = 230, g = 40, bl = 30;  // a red disc
      if (x > width * 2 / 3 && y > height / 4 && y < height * 3 / 4) r = g = bl = 20;  // a dark box
      b.SetPixel(x, y, MakeColour(r, g, bl));
    }
  }
  return b;
}

inline Bitmap Uniform(int width, int height, Colour c) {
  Bitmap b(width, height);
  b.Fill(c);
  return b;
}

// Remembers every progress report.
struct RecordingSink : ProgressSink {
  std::vector<std::array<int, 4>> calls;
  void ShowProgress(int step, int total, int pass, int passes) override {
    calls.push_back({step, total, pass, passes});
  }
};

}  // namespace brumeleaf::testing
