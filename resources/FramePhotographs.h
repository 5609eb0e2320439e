#pragma once
// The photographs of picture frames used by the realistic and coloured frames: landscape
// pictures of a moulding (wood, gilt, silver, painted, lacquer), some with a passe-partout,
// around a centred near-white opening. They are drawn by our own deterministic code on first
// use and kept for the process.
//
// Every pixel of the opening packs (red low byte, blue high byte) to at least 0xD2F000; no
// moulding or mat pixel does, so the opening can be found by scanning for that value. The
// moulding and mat together are at most a fifth of the shorter side, so a scan that starts a
// quarter of the way in, or at 180 of a 700-pixel stretch, always starts inside the opening.

#include "imaging/Bitmap.h"

namespace brumeleaf {

// The photographs are numbered 1-8 and 10-14 (there is no 9).
bool IsFramePhotograph(int number);
// The photograph of that number; ImageError for any other number.
const Bitmap& FramePhotograph(int number);
// Its natural size without drawing it.
int FramePhotographWidth(int number);
int FramePhotographHeight(int number);

// The opening test: a pixel whose packed colour (red low byte) is at least 0xD2F000.
inline constexpr Colour kFrameOpeningThreshold = 0xD2F000;
inline bool IsFrameOpening(Colour packed) { return packed >= kFrameOpeningThreshold; }

}  // namespace brumeleaf
