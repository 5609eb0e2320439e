#pragma once
// The watercolour's random walkers and the working copy of the picture they wander over.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "imaging/Bitmap.h"
#include "imaging/LargePageBuffer.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

// The walk's copy of the picture: four bytes a pixel (blue, green, red, 0) and every four rows
// interleaved column by column, so that pixel (x, y) lives at
// (y div 4) * band + 16 * x + 4 * (y mod 4). Four columns of a band fill one 64-byte cache
// line: a walker stepping up or down stays on its line three times in four, and the 3 x 3
// neighbourhood of a pixel lies in one band (rows 1 and 2 of a band) or two.
class WalkCanvas {
 public:
  explicit WalkCanvas(const Bitmap& picture);
  // Gives `picture` the walk's size and pixels.
  void CopyTo(Bitmap& picture) const;
  // The same with every pixel passed through `mapped` on the way (packed as blue | green << 8
  // | red << 16 both ways), so that a point operation costs no pass of its own.
  template <class Map>
  void CopyMappedTo(Bitmap& picture, const Map& mapped) const;

  std::ptrdiff_t Offset(int x, int y) const { return (y >> 2) * band_ + 16 * static_cast<std::ptrdiff_t>(x) + 4 * (y & 3); }
  std::uint8_t* Data() { return bytes_.Data(); }
  std::ptrdiff_t Band() const { return band_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  int width_, height_;
  std::ptrdiff_t band_;
  LargePageBuffer bytes_;
};

template <class Map>
void WalkCanvas::CopyMappedTo(Bitmap& picture, const Map& mapped) const {
  picture.SetSize(width_, height_);
  for (int y = 0; y < height_; ++y) {
    std::uint8_t* to = picture.ScanLine(y);
    const std::uint8_t* from = bytes_.Data() + Offset(0, y);
    // Four bytes a pixel, each word's fourth byte overwritten by the next pixel; the last
    // pixel of a row alone, so as not to write past it.
    for (int x = 0; x + 1 < width_; ++x, from += 16, to += 3) {
      std::uint32_t v;
      std::memcpy(&v, from, 4);
      v = mapped(v);
      std::memcpy(to, &v, 4);
    }
    std::uint32_t v;
    std::memcpy(&v, from, 4);
    v = mapped(v);
    to[0] = static_cast<std::uint8_t>(v), to[1] = static_cast<std::uint8_t>(v >> 8), to[2] = static_cast<std::uint8_t>(v >> 16);
  }
}

struct Walker {
  int x = 0, y = 0;
  int dx = -100, dy = 0;  // the step chosen last; -100 marks "none"
  int best = 10000;
};

// Which loop computes the steps; every kernel gives the same bytes and draws.
enum class WalkKernel {
  Fastest,   // the vector one where the processor has it
  Portable,  // plain C++
  Vector,    // 512-bit vectors (falls back to Portable where the processor lacks them)
};

bool WalkVectorKernelAvailable();

// One pass of W * H + 1 walker steps over `canvas` (at least 3 x 3), continuing the session's
// random sequence and the walker's state. Returns false when stopped (the stop is polled after
// every step).
bool WalkPass(WalkCanvas& canvas, Walker& walker, int blending, int strength, RunContext& ctx,
              WalkKernel kernel = WalkKernel::Fastest);

}  // namespace brumeleaf
