#pragma once
// The two single-stroke pictures that Pencil sketch 4 rotates into its stamp table: 100 x 100,
// one dark horizontal pencil stroke through the middle on white (stroke pixels at most 240,
// the white around them above 240).

#include "imaging/Bitmap.h"

namespace brumeleaf {

// A straight stroke, tapered at both ends.
const Bitmap& PencilStroke();
// A gently arched stroke, used for every third angle.
const Bitmap& PencilStroke2();

}  // namespace brumeleaf
