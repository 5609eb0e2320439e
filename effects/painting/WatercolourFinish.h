#pragma once
// The watercolour's finishing passes, fused so that the picture is read and written fewer
// times: the brightness shift and the saturation lift on the way out of the walk's canvas, and
// the stroke overlay and the paper texture in one pass after the local contrast. Each gives
// the same integers as its passes one after the other.

#include <array>
#include <cstdint>
#include <vector>

#include "imaging/Bitmap.h"

namespace brumeleaf {

// The brightness shift by `percent` (that of AdjustBrightness) and then, on the shifted
// levels, the saturation lift c + ((c - mean) * 12) div 100, the mean being (R + G + B) div 3,
// clamped to 0..255.
class BrightenAndLift {
 public:
  explicit BrightenAndLift(int percent);

  // A pixel packed as blue | green << 8 | red << 16; the fourth byte of the result is 0.
  std::uint32_t operator()(std::uint32_t pixel) const {
    const unsigned b = shifted_[pixel & 255], g = shifted_[(pixel >> 8) & 255], r = shifted_[(pixel >> 16) & 255];
    const unsigned mean = third_[b + g + r];
    return static_cast<std::uint32_t>(lifted_[b << 8 | mean]) | static_cast<std::uint32_t>(lifted_[g << 8 | mean]) << 8 |
           static_cast<std::uint32_t>(lifted_[r << 8 | mean]) << 16;
  }

  // Both steps over a whole picture in place.
  void Apply(Bitmap& image) const;

 private:
  std::array<std::uint8_t, 256> shifted_{};  // the brightness shift of each level
  std::array<std::uint8_t, 766> third_{};    // the sum of three levels div 3
  std::vector<std::uint8_t> lifted_;         // the lifted level by (level, mean)
};

// For every pixel, first the strokes (only when `paint` is given; pixels whose paint red level
// is 254 or 255 are left alone): M := d * p div 255 and d := (d * (255 - intensity) + M *
// intensity) div 255 per channel; then the paper: every channel moves by
// ((mean - map(x mod 1023, y mod 767)) * depth) div 255 of the watercolour texture map, clamped.
void OverlayStrokesAndPaper(Bitmap& image, const Bitmap* paint, int intensity, int depth);

}  // namespace brumeleaf
