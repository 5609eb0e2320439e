#pragma once
// The pastel stamp of the oil pastel sketch: 250 x 250, a round patch of dark diagonal pastel
// hatching on white. Ink pixels have red below 250, the white around them 250 or more. The
// patch is solid enough that it stays ink when shrunk to 5 x 5 and when rotated.

#include "imaging/Bitmap.h"

namespace brumeleaf {

inline constexpr int kOilPastelStampSize = 250;

const Bitmap& OilPastelStamp();

}  // namespace brumeleaf
