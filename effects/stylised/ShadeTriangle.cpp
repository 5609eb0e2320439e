#include "effects/stylised/ShadeTriangle.h"

#include <cstdint>

namespace brumeleaf {

void ShadeTriangle(Bitmap& picture, const ShadedVertex& a, const ShadedVertex& b, const ShadedVertex& c) {
  if (picture.Empty()) return;
  std::uint8_t* const base = picture.ScanLine(0);
  const std::ptrdiff_t rowDistance = picture.RowDistance();
  WalkShadedTriangle(picture.Width(), picture.Height(), a, b, c, [&](int x, int y, int r, int g, int bl) {
    std::uint8_t* p = base + rowDistance * y + 3 * x;
    p[0] = static_cast<std::uint8_t>(bl);
    p[1] = static_cast<std::uint8_t>(g);
    p[2] = static_cast<std::uint8_t>(r);
  });
}

}  // namespace brumeleaf
