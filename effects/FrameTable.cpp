#include <array>
#include <string>

#include "effects/Frames.h"

#include "effects/Catalogue.h"

namespace brumeleaf {

namespace {

// One line per effect code, in code order; nullptr: not built yet.
constexpr std::array<EffectFrame, kEffectCodes> kFrames{{
    FramePencilSketch,         // 0 FramePencilSketch
    FrameSobelFilter,          // 1 FrameSobelFilter
    FrameColourSobel,          // 2 FrameColourSobel
    FramePenandInkSketch,      // 3 FramePenandInkSketch
    nullptr,                   // 4 FramePainting
    nullptr,                   // 5 FramePainting2
    FramePainting3,            // 6 FramePainting3
    FramePainting4,            // 7 FramePainting4
    nullptr,                   // 8 FrameRegionGrowing
    nullptr,                   // 9 FrameRegionGrowing
    nullptr,                   // 10 FrameColouredSquares
    nullptr,                   // 11 FrameColouredCircles
    nullptr,                   // 12 FrameVivify
    nullptr,                   // 13 FrameAlphaBlend
    FrameNoFilter,             // 14 FrameNoFilter
    nullptr,                   // 15 FrameRandomStrokes
    FramePencilStrokes,        // 16 FramePencilStrokes
    FrameCartoonify,           // 17 FrameCartoonify
    nullptr,                   // 18 FrameColourInk
    nullptr,                   // 19 FrameSepia
    nullptr,                   // 20 FrameExpressivePainting
    FramePenandInkSketch2,     // 21 FramePenandInkSketch2
    nullptr,                   // 22 FrameRandomPolygons
    FrameNewPencilSketch,      // 23 FrameNewPencilSketch
    FramePencilSketch5,        // 24 FramePencilSketch5
    nullptr,                   // 25 FrameShadedTriangles
    FrameHalfToneLines,        // 26 FrameHalfToneLines
    FramePainting9,            // 27 FramePainting9
    FramePainting10,           // 28 FramePainting10
    nullptr,                   // 29 FrameAbstract
}};

bool KnownCode(int code) { return code >= 0 && code < kEffectCodes; }

}  // namespace

EffectFrame FrameForCode(int code) {
  return KnownCode(code) ? kFrames[static_cast<std::size_t>(code)] : nullptr;
}

std::string EffectNameForCode(int code) {
  if (!KnownCode(code)) return "";
  std::string name = EntryName(Language::English(), ListIndexOfCode(code));
  // The last entry is padded with spaces to widen the list.
  name.erase(name.find_last_not_of(' ') + 1);
  return name;
}

}  // namespace brumeleaf
