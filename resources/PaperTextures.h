#pragma once
// The paper texture sheet: 1280 x 512, ten grey 256 x 256 tiles in 5 columns and 2 rows (tile n
// at column n mod 5, row n div 5), each seamless with a mean level close to 128 so that
// printing it over a picture adds structure without lightening or darkening it.

#include "imaging/Bitmap.h"

namespace brumeleaf {

// Generated on first use by our own code; safe to call from any thread.
const Bitmap& PaperTextureSheet();
// A fresh generation (the same pixels every time).
Bitmap MakePaperTextureSheet();

}  // namespace brumeleaf
