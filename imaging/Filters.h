#pragma once
// Fixed-kernel neighbourhood filters. All work per channel with integer arithmetic and take
// every neighbourhood from the picture as it was on entry (except EnhanceDetail writing into
// its own source, whose earlier outputs feed later windows by design).

#include <cstddef>
#include <cstdint>

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

// 3x3 sharpen: v = 5c - (sum of 8 neighbours shr 3); 0 if v < 0, 255 if v >= 1024, else v shr 2.
// Border rows and columns keep their levels.
void Sharpen(Bitmap& image);
// 3x3 mean of the interior; borders keep their levels.
void BoxBlur3(Bitmap& image);
// 3x3 soft blur (2a + c) div 3 inside, 1x3 means along the borders, corners kept.
void SoftBlur(Bitmap& image);
// 9x9 local contrast around (2 local + mean) div 3; the last row and column keep their levels.
void EnhanceLocalContrast(Bitmap& image, int strength, const SourceMean& mean);
// 5x5 detail enhancement; `destination` may be `source` itself. Throws ImageError (changing
// nothing) for a strength of 256 or more (the divisor 256 - strength) or a destination of
// another size.
void EnhanceDetail(Bitmap& source, Bitmap& destination, int strength);
// The first level from startLevel upward whose running count reaches `targetCount`; 0 if none.
// Counts levels[0..lastIndex]; a start level below 0 counts from 0.
int HistogramRankValue(const std::uint8_t* levels, int lastIndex, int startLevel, int targetCount);
// Counting sort of bytes, ascending or descending.
void CountingSortBytes(std::uint8_t* bytes, std::size_t count, bool ascending);

}  // namespace brumeleaf
