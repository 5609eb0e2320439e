#pragma once
// Point operations: inversion, brightness, contrast, saturation, histogram equalisation, and
// the 0..240 hue-luminance-saturation conversions.

#include <array>
#include <cstdint>

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

using Histogram = std::array<std::int32_t, 256>;

void InvertColours(Bitmap& image);
// percent <= 0 scales toward black (c + p c div 100), percent > 0 toward white.
void AdjustBrightness(Bitmap& image, int percent);
// c + (c - pivot) p div 100.
void AdjustContrast(Bitmap& image, int pivot, int percent);
// c + (c - mean grey) p div 100; stops after the current row when ctx says so
// (rows done so far stay changed). ctx may be null (never stops).
void AdjustSaturation(Bitmap& image, int percent, RunContext* ctx = nullptr);
void ChannelHistograms(const Bitmap& image, Histogram& red, Histogram& green, Histogram& blue);
void CumulativeSum(std::array<float, 256>& table);
// A non-finite exponent is refused with an ImageError.
void EqualizeHistogram(Bitmap& image, float exponent);
// Every call site passes the same picture twice. A source smaller than the destination is
// refused with an ImageError.
void BoostSaturationHLS(Bitmap& destination, const Bitmap& source);

// Hue, luminance and saturation, each 0..240 (the classic integer algorithm, HLSMAX 240).
struct Hls {
  int hue = 0;
  int luminance = 0;
  int saturation = 0;
};
Hls ColorRGBToHLS(Colour rgb);
// Arguments outside 0..240 are taken as 0 or 240.
Colour ColorHLSToRGB(int hue, int luminance, int saturation);

}  // namespace brumeleaf
