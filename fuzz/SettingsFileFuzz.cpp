// The settings file reader: any bytes give settings whose numbers lie within their controls'
// ranges, a placement that fits any screen, and a file that reads back the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/SettingsFile.h"

namespace {

bool In(int v, int low, int high) { return v >= low && v <= high; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace brumeleaf;
  const std::string text(reinterpret_cast<const char*>(data), size);
  AppSettings s;
  ParseSettings(text, s);
  if (!In(s.style, 1, 3) || !In(s.frameStyle, 0, 5) || !In(s.tintRed, -255, 255) ||
      !In(s.frameFillColour, 0, 0xFFFFFF) || !In(s.frameLineColour, 0, 0xFFFFFF) ||
      !In(s.textPosition, -1, 9) || !In(s.fontSize, -1, 1000) || !In(s.fontColour, -1, 0xFFFFFF) ||
      !In(s.textureNumber, -1, 9) || !In(s.textureStrength, -1, 2) || s.marginText.size() > 4)
    __builtin_trap();
  if (s.placementRead) {
    for (const int desktop : {640, 1920, 3840}) {
      const WindowPlacement p = FitPlacement(s.placement, -desktop, 100, desktop, desktop / 2);
      if (!p.Maximised() && (p.left < -desktop || p.top < 100 || p.left + p.width > 0 ||
                             p.top + p.height > 100 + desktop / 2 || p.width <= 0 || p.height <= 0))
        __builtin_trap();
    }
  }
  // What was read writes back to a file that reads the same.
  const WindowPlacement written = s.placementRead ? s.placement : WindowPlacement{10, 10, 800, 600};
  AppSettings again;
  ParseSettings(FormatSettings(s, written), again);
  again.placement = s.placement;
  again.placementRead = s.placementRead;
  again.addFrameChecked = s.addFrameChecked;
  if (!(again == s)) __builtin_trap();
  return 0;
}
