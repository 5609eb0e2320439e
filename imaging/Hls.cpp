// Hue, luminance and saturation on the 0..240 scale: the classic integer conversion
// (HLSMAX 240, RGBMAX 255, hue 160 for greys), with its rounding terms, and the saturation
// boost built on it.

#include <algorithm>

#include "imaging/Colour.h"

namespace brumeleaf {

namespace {

constexpr int kHlsMax = 240;
constexpr int kRgbMax = 255;
constexpr int kUndefinedHue = kHlsMax * 2 / 3;

// One of red, green or blue (0..240) from the two magic numbers and a hue.
int HueToRgb(int n1, int n2, int hue) {
  if (hue < 0) hue += kHlsMax;
  if (hue > kHlsMax) hue -= kHlsMax;
  if (hue < kHlsMax / 6) return n1 + ((n2 - n1) * hue + kHlsMax / 12) / (kHlsMax / 6);
  if (hue < kHlsMax / 2) return n2;
  if (hue < kHlsMax * 2 / 3) {
    return n1 + ((n2 - n1) * (kHlsMax * 2 / 3 - hue) + kHlsMax / 12) / (kHlsMax / 6);
  }
  return n1;
}

int ToRgbLevel(int hlsLevel) { return ClampLevel((hlsLevel * kRgbMax + kHlsMax / 2) / kHlsMax); }

}  // namespace

Hls ColorRGBToHLS(Colour rgb) {
  const int r = RedOf(rgb), g = GreenOf(rgb), b = BlueOf(rgb);
  const int cMax = std::max({r, g, b});
  const int cMin = std::min({r, g, b});
  Hls out;
  out.luminance = ((cMax + cMin) * kHlsMax + kRgbMax) / (2 * kRgbMax);
  if (cMax == cMin) {
    out.hue = kUndefinedHue;
    return out;
  }
  const int spread = cMax - cMin;
  if (out.luminance <= kHlsMax / 2) {
    out.saturation = (spread * kHlsMax + (cMax + cMin) / 2) / (cMax + cMin);
  } else {
    const int room = 2 * kRgbMax - cMax - cMin;
    out.saturation = (spread * kHlsMax + room / 2) / room;
  }
  auto delta = [&](int c) { return ((cMax - c) * (kHlsMax / 6) + spread / 2) / spread; };
  int hue;
  if (r == cMax) {
    hue = delta(b) - delta(g);
  } else if (g == cMax) {
    hue = kHlsMax / 3 + delta(r) - delta(b);
  } else {
    hue = kHlsMax * 2 / 3 + delta(g) - delta(r);
  }
  if (hue < 0) hue += kHlsMax;
  if (hue > kHlsMax) hue -= kHlsMax;
  out.hue = hue;
  return out;
}

Colour ColorHLSToRGB(int hue, int luminance, int saturation) {
  // Arguments outside the scale are taken at its ends, which also keeps the products small.
  hue = std::clamp(hue, 0, kHlsMax);
  luminance = std::clamp(luminance, 0, kHlsMax);
  saturation = std::clamp(saturation, 0, kHlsMax);
  if (saturation == 0) {
    const int grey = ClampLevel(luminance * kRgbMax / kHlsMax);
    return MakeColour(grey, grey, grey);
  }
  const int magic2 = luminance <= kHlsMax / 2
                         ? (luminance * (kHlsMax + saturation) + kHlsMax / 2) / kHlsMax
                         : luminance + saturation - (luminance * saturation + kHlsMax / 2) / kHlsMax;
  const int magic1 = 2 * luminance - magic2;
  return MakeColour(ToRgbLevel(HueToRgb(magic1, magic2, hue + kHlsMax / 3)),
                    ToRgbLevel(HueToRgb(magic1, magic2, hue)),
                    ToRgbLevel(HueToRgb(magic1, magic2, hue - kHlsMax / 3)));
}

namespace {

Colour Boosted(Colour rgb) {
  Hls hls = ColorRGBToHLS(rgb);
  if (hls.saturation > 10) {
    hls.saturation = std::min(hls.saturation * ((255 - hls.saturation) / 7 + 100) / 100, 240);
  }
  if (hls.luminance > 10) {
    hls.luminance = std::min(hls.luminance * ((255 - hls.luminance) / 28 + 100) / 100, 240);
  }
  return ColorHLSToRGB(hls.hue, hls.luminance, hls.saturation);
}

}  // namespace

void BoostSaturationHLS(Bitmap& destination, const Bitmap& source) {
  const int width = destination.Width();
  const int height = destination.Height();
  if (source.Width() < width || source.Height() < height) {
    throw ImageError("The saturation boost needs a source at least as large as its destination.");
  }
  // Photographs repeat colours along a row; remembering the last one skips both conversions.
  Colour lastIn = 0, lastOut = Boosted(0);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = source.ScanLine(y);
    std::uint8_t* out = destination.ScanLine(y);
    for (int x = 0; x < width; ++x, in += 3, out += 3) {
      const Colour rgb = MakeColour(in[2], in[1], in[0]);
      if (rgb != lastIn) {
        lastIn = rgb;
        lastOut = Boosted(rgb);
      }
      out[0] = static_cast<std::uint8_t>(BlueOf(lastOut));
      out[1] = static_cast<std::uint8_t>(GreenOf(lastOut));
      out[2] = static_cast<std::uint8_t>(RedOf(lastOut));
    }
  }
}

}  // namespace brumeleaf
