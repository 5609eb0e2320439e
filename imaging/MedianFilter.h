#pragma once
// Per-channel median over a square window, computed with a histogram that slides along each
// row (add the entering column, drop the leaving one), so the cost per pixel does not grow with
// the window's area. Rows are independent and run in bands on several threads.
//
// The window for size v is (v div 2) * 2 + 1 pixels square (3 for 3, 5 for 4 and 5), centred on
// the output pixel. Windows at the borders use only the pixels inside the picture, so a corner
// of a 3 x 3 window sees 4 pixels. For k collected values sorted ascending the output is the
// value at position k div 2 when k is odd, and the truncated mean of positions k div 2 - 1 and
// k div 2 when k is even. A size below 2 copies the picture.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

// The filtered picture, same size as `image`.
Bitmap MedianFilter(const Bitmap& image, int size);

// The same with stop checks between blocks of rows. Returns false when a stop was requested;
// `output` is then left as it was, so the caller keeps a whole picture. `output` may not be
// `image`.
bool MedianFilter(const Bitmap& image, int size, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
