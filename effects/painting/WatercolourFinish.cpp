#include "effects/painting/WatercolourFinish.h"

#include <algorithm>
#include <vector>

#include "imaging/Colour.h"
#include "imaging/ParallelRows.h"
#include "resources/PaintingTextures.h"

namespace brumeleaf {

BrightenAndLift::BrightenAndLift(int percent) {
  // The shift of each level, taken from the shift itself: all 256 levels in one small picture.
  Bitmap levels(86, 1);
  std::uint8_t* row = levels.ScanLine(0);
  for (int c = 0; c < 258; ++c) row[c] = static_cast<std::uint8_t>(c & 255);
  AdjustBrightness(levels, percent);
  for (int c = 0; c < 256; ++c) shifted_[static_cast<std::size_t>(c)] = row[c];
  for (int sum = 0; sum < 766; ++sum) third_[static_cast<std::size_t>(sum)] = static_cast<std::uint8_t>(sum / 3);
  lifted_.resize(256 * 256);
  for (int c = 0; c < 256; ++c)
    for (int mean = 0; mean < 256; ++mean)
      lifted_[static_cast<std::size_t>(c << 8 | mean)] = ClampLevel(c + ((c - mean) * 12) / 100);
}

void BrightenAndLift::Apply(Bitmap& image) const {
  ForEachRowBand(0, image.Height(), 64, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      std::uint8_t* p = image.ScanLine(y);
      for (int x = 0; x < image.Width(); ++x, p += 3) {
        const std::uint32_t v = (*this)(p[0] | p[1] << 8 | static_cast<std::uint32_t>(p[2]) << 16);
        p[0] = static_cast<std::uint8_t>(v), p[1] = static_cast<std::uint8_t>(v >> 8), p[2] = static_cast<std::uint8_t>(v >> 16);
      }
    }
  });
}

void OverlayStrokesAndPaper(Bitmap& image, const Bitmap* paint, int intensity, int depth) {
  const TextureMap& map = WatercolourTextureMap();
  // The paper's shift depends only on the map's level there; beyond +-255 it clamps every level
  // alike, so it is kept within that and fits 16 bits.
  std::array<std::int16_t, 256> shiftOf;
  for (int v = 0; v < 256; ++v)
    shiftOf[static_cast<std::size_t>(v)] = static_cast<std::int16_t>(std::clamp(((map.mean - v) * depth) / 255, -255, 255));
  const int w = image.Width();
  ForEachRowBand(0, image.Height(), 64, [&](int begin, int end) {
    // A row's paper shifts, one a byte, so that the clamped additions run many at a time.
    std::vector<std::int16_t> shifts(static_cast<std::size_t>(3) * w);
    for (int y = begin; y < end; ++y) {
      std::uint8_t* d = image.ScanLine(y);
      if (paint) {
        const std::uint8_t* p = paint->ScanLine(y);
        for (int x = 0; x < w; ++x) {
          if (p[3 * x + 2] >= 254) continue;
          for (int c = 0; c < 3; ++c) {
            const int level = d[3 * x + c];
            const int multiplied = level * p[3 * x + c] / 255;
            d[3 * x + c] = static_cast<std::uint8_t>((level * (255 - intensity) + multiplied * intensity) / 255);
          }
        }
      }
      const std::uint8_t* paper = map.values.data() + static_cast<std::size_t>(y % 767) * TextureMap::kWidth;
      std::int16_t* shift = shifts.data();
      for (int x = 0, tx = 0; x < w; ++x, shift += 3) {  // tx = x mod 1023
        shift[0] = shift[1] = shift[2] = shiftOf[paper[tx]];
        if (++tx == 1023) tx = 0;
      }
      for (std::size_t i = 0; i < shifts.size(); ++i) {
        const int v = d[i] + shifts[i];
        d[i] = static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
      }
    }
  });
}

}  // namespace brumeleaf
