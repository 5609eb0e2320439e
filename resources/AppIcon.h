#pragma once
// The program's icon, drawn by our own code: a leaf on a misty paper tile, its left half
// painted in watercolour greens, its right half drawn in pencil hatching. The same drawing gives
// the window icon, the PNG icons of every size a desktop asks for, and the scalable SVG.
// Below 32 pixels the hatching, veins and shadow are left out so the leaf stays legible.

#include <string>

#include <QImage>

namespace brumeleaf {

// The icon at `size` x `size` pixels (1..1024), transparent around the tile.
QImage AppIconImage(int size);

// The full-detail drawing as an SVG document (256 x 256 user units).
std::string AppIconSvg();

}  // namespace brumeleaf
