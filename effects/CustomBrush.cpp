#include "effects/CustomBrush.h"

#include <algorithm>
#include <cstdint>

namespace brumeleaf {

Bitmap MakeCustomBrush(const Bitmap& picture) {
  if (picture.Empty()) throw ImageError("The brush picture is empty");
  // 64 bits: 32768 * 142 does not fit comfortably in the checks below otherwise.
  const std::int64_t side = std::int64_t{std::max(picture.Width(), picture.Height())} * 142 / 100;
  if (side > kMaxHeight)
    throw ImageError("The brush picture is too large (at most " +
                     std::to_string(kMaxHeight * 100 / 142) + " pixels on its longer side)");
  const int s = static_cast<int>(side);
  Bitmap brush(s, s);
  brush.Draw((s - picture.Width()) / 2, (s - picture.Height()) / 2, picture);
  return brush;
}

}  // namespace brumeleaf
