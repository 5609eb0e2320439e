#include <gtest/gtest.h>

#include <cstdint>

#include "effects/painting/WatercolourFinish.h"
#include "effects/painting/WatercolourWalk.h"
#include "imaging/Colour.h"
#include "resources/PaintingTextures.h"
#include "tests/core/TestPictures.h"

using namespace brumeleaf;

namespace {

// Every level in every channel somewhere, coloured and uneven, with black, white and pure
// primaries among them (the ends of the clamps).
Bitmap Noise(int w, int h, std::uint32_t seed) {
  Bitmap b = brumeleaf::testing::Noise(w, h, seed);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* p = b.ScanLine(y);
    if (w > 4) p[0] = p[1] = p[2] = 0, p[3] = p[4] = p[5] = 255;
    if (w > 6) p[6] = 255, p[7] = 0, p[8] = 0;
  }
  return b;
}

// The brightness shift, then c + ((c - mean) * 12) div 100 with mean = (R + G + B) div 3.
Bitmap BrightenedAndLiftedPlainly(const Bitmap& picture, int percent) {
  Bitmap out = picture;
  AdjustBrightness(out, percent);
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) {
      std::uint8_t* p = out.ScanLine(y) + 3 * x;
      const int mean = (p[0] + p[1] + p[2]) / 3;
      for (int c = 0; c < 3; ++c) p[c] = ClampLevel(p[c] + ((p[c] - mean) * 12) / 100);
    }
  return out;
}

}  // namespace

TEST(WatercolourFinish, BrighteningAndLiftingMatchTheTwoPassesOnTheWayOutOfTheWalkAndInPlace) {
  // Both ends of the slider's shift (s4 from 0 to 255) and none; widths of one pixel, odd,
  // and a multiple of four (the walk's canvas packs four columns), heights across its bands.
  for (const int percent : {-42, -9, -1, 0, 1, 4, 42})
    for (const auto& size : {std::array<int, 2>{1, 1}, {3, 3}, {1, 9}, {7, 1}, {37, 29}, {64, 5}}) {
      const Bitmap photo = Noise(size[0], size[1], static_cast<std::uint32_t>(percent + 100 * size[0]));
      const Bitmap expected = BrightenedAndLiftedPlainly(photo, percent);
      const BrightenAndLift finish(percent);
      Bitmap inPlace = photo;
      finish.Apply(inPlace);
      EXPECT_EQ(inPlace, expected) << percent << " " << size[0] << "x" << size[1];
      Bitmap copied;
      WalkCanvas(photo).CopyMappedTo(copied, finish);
      EXPECT_EQ(copied, expected) << percent << " " << size[0] << "x" << size[1];
    }
}

TEST(WatercolourFinish, StrokesAndPaperMatchTheirFormulasPixelByPixel) {
  // Wider than the paper map's 1023 columns and higher than its 767 rows, so both repeat; the
  // paint layer with red levels on both sides of 254 and dark green and blue where red is high.
  const TextureMap& map = WatercolourTextureMap();
  for (const auto& size : {std::array<int, 2>{1100, 3}, {5, 800}, {1, 1}})
    for (const int intensity : {11, 110, 255})
      for (const int depth : {0, 50, 255, 1000})  // 1000: shifts beyond a level's range
        for (const bool strokes : {true, false}) {
          const Bitmap photo = Noise(size[0], size[1], static_cast<std::uint32_t>(intensity + depth));
          Bitmap paint = Noise(size[0], size[1], 77);
          for (int y = 0; y < size[1]; ++y)
            for (int x = 0; x < size[0]; x += 3) paint.ScanLine(y)[3 * x + 2] = static_cast<std::uint8_t>(252 + x % 4);
          Bitmap expected = photo;
          for (int y = 0; y < size[1]; ++y)
            for (int x = 0; x < size[0]; ++x) {
              std::uint8_t* d = expected.ScanLine(y) + 3 * x;
              const std::uint8_t* p = paint.ScanLine(y) + 3 * x;
              if (strokes && p[2] < 254)
                for (int c = 0; c < 3; ++c) {
                  const int m = d[c] * p[c] / 255;
                  d[c] = static_cast<std::uint8_t>((d[c] * (255 - intensity) + m * intensity) / 255);
                }
              const int shift = ((map.mean - map.At(x % 1023, y % 767)) * depth) / 255;
              for (int c = 0; c < 3; ++c) d[c] = ClampLevel(d[c] + shift);
            }
          Bitmap fused = photo;
          OverlayStrokesAndPaper(fused, strokes ? &paint : nullptr, intensity, depth);
          EXPECT_EQ(fused, expected) << size[0] << "x" << size[1] << " " << intensity << " " << depth << " " << strokes;
        }
}
