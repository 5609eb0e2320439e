#pragma once
// Painting 9 (effect code 27): translucent watercolour blots. From a random point 150 rays walk
// outward until the photograph's colour departs too far from the point's colour; the ray ends,
// smoothed and jittered, outline a polygon filled with the point's colour, grained with the
// watercolour paper and laid over the painting with an opacity that fades towards its rim.
// The picture is then lightened in hue-luminance-saturation and multiplied with an outline
// layer of edge strokes. The live preview runs the same frame on its crop.

#include <cstddef>
#include <cstdint>

#include "imaging/Bitmap.h"
#include "imaging/Random.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct Painting9Settings {
  int iterations = 7;     // s1: blot passes s1 * 75 + 1
  int brushSize = 170;    // s2: ray cost factor (255 - s2) div 20 + 1
  int precision = 90;     // s3: placement margin 105 - s3
  int edgeIntensity = 127;  // s4: outline layer and its strength (0: none)
  int lighten = 10;       // s5: final lightening
};

Painting9Settings Painting9SettingsFrom(const RunContext& ctx);

// The cost of one ray step at colour distance e from the photograph and g from the canvas:
// L = e - g div 19, doubled from 121 and quadrupled above 300. It never falls below 1, so every
// ray ends after at most its budget divided by the cost factor: a flat area or a stretch of
// unpainted paper no longer lets a ray (and the blot's box) run across the whole picture.
inline int BlotStepCost(int e, int g) {
  const int L = e - g / 19;
  const int cost = L <= 120 ? L : (L <= 300 ? 2 * L : 4 * L);
  return cost < 1 ? 1 : cost;
}

// A blot is laid a row at a time with these. The draws NextInt(5) of `count` pixels, in order.
void BlotDrawsOfFive(Random& random, int* draws, int count);
// The weight of each pixel of a blot row, dy rows below the seed and from dx0 columns right of
// it: v + floor(sqrt(dy^2 + dx^2)) div 6 + 5 + its draw, kept to 0..90, written three times
// (one a channel) into `weights`.
void BlotRowWeights(int dy, int dx0, int v, const int* draws, int width, std::uint8_t* weights);
// d := (w d + (100 - w) b) div 100 byte by byte, w the weight of the byte (0..90).
void BlendBlotRow(std::uint8_t* d, const std::uint8_t* b, const std::uint8_t* weights, std::size_t n);

// `destination` gets the source's size and is painted from white. Reseeds the generator with
// 1969. A stop (checked after every blot) returns without the lightening and the outlines.
void BlotPainting(const Bitmap& source, Bitmap& destination, const Painting9Settings& settings, RunContext& ctx);

// The manual brush's patch: the algorithm from `source` into `output`, without the surface.
void PatchPainting9(const Bitmap& source, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
