#include <array>

#include "effects/Frames.h"

namespace brumeleaf {

namespace {

struct FrameRow {
  EffectFrame frame;  // nullptr: not built yet
  const char* name;
};

// One line per effect code, in code order.
constexpr std::array<FrameRow, kEffectCodes> kFrames{{
    {FramePencilSketch, "Pencil sketch 1"},                 // 0
    {nullptr, "Pencil sketch 2 (b&w)"},                     // 1
    {nullptr, "Pencil sketch 3 (color)"},                   // 2
    {nullptr, "Pen & Ink sketch 1"},                        // 3
    {nullptr, "Painting 1 (watercolor)"},                   // 4
    {nullptr, "Painting 2 (brushstrokes)"},                 // 5
    {nullptr, "Painting 3 (median + bilateral filter)"},    // 6
    {nullptr, "Painting 4 (recursive median filter)"},      // 7
    {nullptr, "Painting 5 (watercolor)"},                   // 8
    {nullptr, "Painting 6 (oil painting)"},                 // 9
    {nullptr, "Pixelation"},                                // 10
    {nullptr, "Colored dots"},                              // 11
    {nullptr, "Vivify photo"},                              // 12
    {nullptr, "Merge source and result images"},            // 13
    {FrameNoFilter, "Frame, texture and text only"},        // 14
    {nullptr, "Painting 7 (brushstrokes)"},                 // 15
    {nullptr, "Oil pastel sketch (color)"},                 // 16
    {nullptr, "Cartoon 1"},                                 // 17
    {nullptr, "Cartoon 2"},                                 // 18
    {nullptr, "Vintage photo"},                             // 19
    {nullptr, "Painting 8 (expressive brushstrokes)"},      // 20
    {nullptr, "Pen & Ink sketch 2"},                        // 21
    {nullptr, "Emergence"},                                 // 22
    {nullptr, "Pencil sketch 4"},                           // 23
    {nullptr, "Pencil sketch 5"},                           // 24
    {nullptr, "Emergence 2"},                               // 25
    {nullptr, "Linear halftoning"},                         // 26
    {nullptr, "Painting 9 (watercolor)"},                   // 27
    {nullptr, "Painting 10 (brushstrokes)"},                // 28
    {nullptr, "Abstract"},                                  // 29
}};

bool KnownCode(int code) { return code >= 0 && code < kEffectCodes; }

}  // namespace

EffectFrame FrameForCode(int code) {
  return KnownCode(code) ? kFrames[static_cast<std::size_t>(code)].frame : nullptr;
}

const char* EffectNameForCode(int code) {
  return KnownCode(code) ? kFrames[static_cast<std::size_t>(code)].name : "";
}

}  // namespace brumeleaf
