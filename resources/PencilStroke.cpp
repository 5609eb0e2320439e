#include "resources/PencilStrokeShape.h"
#include "resources/PencilStrokes.h"

namespace brumeleaf {

const Bitmap& PencilStroke() {
  static const Bitmap picture = DrawPencilStroke(0.0, 0x51A7u);
  return picture;
}

}  // namespace brumeleaf
