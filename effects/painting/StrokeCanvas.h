#pragma once
// The photograph and the canvas painted from it side by side, for painters that stamp a brush
// at random spots and compare the canvas with the photograph under it. A stamp lands far from
// the last one, so its time goes into fetching memory: every pixel keeps in six bytes what a
// stamp reads there, the photograph's blue, green and red and then the canvas's, so that a run
// of brush pixels costs as few cache lines as its bytes allow instead of lines in two places.
//
// A pixel's error is |blue - blue'| + |green - green'| + |red - red'|. It is summed from the
// pixels whenever it is asked for: a stamp reads every pixel under it anyway for its mean
// colour, and running sums kept beside the pixels would cost a third more lines per run.

#include <cstdint>

#include "imaging/Bitmap.h"
#include "imaging/LargePageBuffer.h"

namespace brumeleaf {

class StrokeCanvas {
 public:
  // Byte offsets within a pixel.
  static constexpr int kPhotograph = 0, kCanvas = 3, kPixelBytes = 6;

  // The photograph with a canvas of one colour. Rows are built on several threads.
  StrokeCanvas(const Bitmap& photograph, Colour canvas);

  int Width() const { return width_; }
  int Height() const { return height_; }
  std::uint8_t* At(int x, int y) { return Row(y) + kPixelBytes * x; }
  const std::uint8_t* At(int x, int y) const { return Row(y) + kPixelBytes * x; }

  // The error of pixels first..last (first <= last, inside the picture) of row y.
  std::uint32_t ErrorSum(int y, int first, int last) const;

  // The photograph and the canvas as pictures.
  void CopyPhotograph(Bitmap& out) const { CopyOut(out, kPhotograph); }
  void CopyCanvas(Bitmap& out) const { CopyOut(out, kCanvas); }

 private:
  std::uint8_t* Row(int y) { return bytes_.Data() + static_cast<std::size_t>(y) * pitch_; }
  const std::uint8_t* Row(int y) const { return bytes_.Data() + static_cast<std::size_t>(y) * pitch_; }
  void CopyOut(Bitmap& out, int offset) const;

  int width_ = 0, height_ = 0;
  std::size_t pitch_ = 0;
  LargePageBuffer bytes_;
};

}  // namespace brumeleaf
