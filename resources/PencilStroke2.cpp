#include "resources/PencilStrokeShape.h"
#include "resources/PencilStrokes.h"

namespace brumeleaf {

const Bitmap& PencilStroke2() {
  // The middle rises 7 pixels above the ends: a gentle arch, still well inside the picture.
  static const Bitmap picture = DrawPencilStroke(7.0, 0xA2C4u);
  return picture;
}

}  // namespace brumeleaf
