#pragma once
// A layer of short grey strokes laid along the luminance edges of a photograph, on white
// paper. Several painting and drawing effects draw it into a scratch picture and multiply or
// blend it into their own result.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

class GreyPicture;

// Resizes `layer` to the source and draws the strokes: a pixel whose Sobel magnitude reaches
// `threshold` (and whose gradient is not diagonal) starts a stroke along the edge whose
// length and darkness grow with `length`; `strength` above 150 darkens, below lightens.
// Then softens and textures the layer as the parameter snapshot says. A stop (polled every
// 20 rows outside the live preview) returns the layer drawn so far, unsoftened and untextured.
// `source` must not be `layer`.
void DrawEdgeStrokes(const Bitmap& source, Bitmap& layer, int threshold, int strength, int length,
                     RunContext& ctx);

// The same strokes drawn from the picture's weighted grey alone, which is all they read.
void DrawEdgeStrokes(const GreyPicture& source, Bitmap& layer, int threshold, int strength, int length,
                     RunContext& ctx);

// Soften edges and the paper texture as the parameter snapshot asks, with the texture repeating
// every 255 pixels (the last row and column of the tile are never sampled).
void SoftenAndTextureLayer(Bitmap& layer, const RunContext& ctx);

}  // namespace brumeleaf
