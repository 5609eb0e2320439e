#include "resources/PaperSurfaces.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace brumeleaf {

namespace {

constexpr int kSize = kPaperTileSize;

// A rounded bump over 0..period-1: 1 in the middle, near 0 at the ends.
double Bump(int u, int period) {
  const double t = (2.0 * u + 1.0 - period) / period;
  return 1.0 - t * t;
}

// Smooth drawing paper: a fine tooth lit from the side and a little grain.
TileField DrawingPaper() {
  Random random(101);
  TileField f = Relief(FractalNoise(kSize, 32, 3, 0.5, random));
  f.Add(FractalNoise(kSize, 8, 4, 0.5, random), 0.4);
  f.Add(PixelNoise(kSize, kSize, random), 0.25);
  return f;
}

// Plain weave: in each crossing the thread on top arches over it; the threads vary in thickness.
TileField WovenHeight(int period, double irregularity, Random& random) {
  const TileField warpNoise = ValueNoise(kSize, kSize, kSize / period, 8, random);
  const TileField weftNoise = ValueNoise(kSize, kSize, 8, kSize / period, random);
  TileField h(kSize, kSize);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const bool warpOnTop = ((x / period) + (y / period)) % 2 == 0;
      const int across = warpOnTop ? x % period : y % period;
      const int along = warpOnTop ? y % period : x % period;
      const double thickness = 1.0 + irregularity * (warpOnTop ? warpNoise.At(x, y) : weftNoise.At(x, y));
      h.At(x, y) = thickness * std::max(0.0, Bump(across, period)) * (0.55 + 0.45 * Bump(along, period));
    }
  }
  return h;
}

TileField CanvasWeave() {
  Random random(202);
  const TileField h = WovenHeight(8, 0.5, random);
  TileField f = Relief(h);
  f.Add(h, 0.6);
  f.Add(FractalNoise(kSize, 16, 4, 0.6, random), 0.3);
  f.Add(PixelNoise(kSize, kSize, random), 0.15);
  return f;
}

// Cold-pressed watercolour paper: rounded bumps and hollows of several sizes, lit from the side.
TileField RoughWatercolour() {
  Random random(303);
  TileField h = FractalNoise(kSize, 16, 3, 0.45, random);
  const TileField pits = ValueNoise(kSize, kSize, 32, 32, random);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) h.At(x, y) -= 0.6 * std::abs(pits.At(x, y));
  h = BoxBlur(h, 1);
  TileField f = Relief(h);
  f.Scale(6.0);
  f.Add(h, 0.6);
  f.Add(PixelNoise(kSize, kSize, random), 0.04);
  return f;
}

// Laid paper: close horizontal laid lines, slightly wavy, crossed by chain lines every 32 pixels.
TileField LaidPaper() {
  Random random(404);
  const TileField wave = ValueNoise(kSize, kSize, 4, 4, random);
  TileField f = FractalNoise(kSize, 16, 4, 0.55, random);
  f.Scale(0.35);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const int shifted = (y + static_cast<int>(std::floor(wave.At(x, y) * 1.5)) + kSize) % 4;
      f.At(x, y) += 0.6 * Bump(shifted, 4);
      // Chain lines: soft bands 4 pixels wide.
      const int chain = x % 32;
      if (chain >= 14 && chain <= 17) f.At(x, y) += 0.25 * Bump(chain - 14, 4);
    }
  }
  f.Add(PixelNoise(kSize, kSize, random), 0.15);
  return f;
}

// Cardboard: coarse blotches and short horizontal fibre streaks.
TileField Cardboard() {
  Random random(505);
  TileField f = FractalNoise(kSize, 8, 5, 0.65, random);
  const TileField grain = PixelNoise(kSize, kSize, random);
  TileField streaks(kSize, kSize);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      double sum = 0;
      for (int d = -6; d <= 6; ++d) sum += grain.At(x + d, y);
      streaks.At(x, y) = sum / 13.0;
    }
  }
  f.Add(streaks, 1.2);
  f.Add(grain, 0.15);
  return f;
}

TileField Linen() {
  Random random(606);
  const TileField h = WovenHeight(4, 0.6, random);
  TileField f = Relief(h);
  f.Add(h, 1.0);
  f.Add(FractalNoise(kSize, 8, 4, 0.5, random), 0.25);
  return f;
}

// Handmade paper: a cloudy pulp with loose fibres lying in every direction.
TileField HandmadePaper() {
  Random random(707);
  TileField f = FractalNoise(kSize, 16, 5, 0.55, random);
  f.Scale(0.5);
  TileField fibres(kSize, kSize);
  for (int fibre = 0; fibre < 260; ++fibre) {
    double x = random.NextFloat() * kSize, y = random.NextFloat() * kSize;
    double dx = random.NextFloat() * 2.0 - 1.0, dy = random.NextFloat() * 2.0 - 1.0;
    const double tone = random.NextFloat() < 0.7 ? 1.0 : -0.6;
    const int length = 20 + random.NextInt(50);
    for (int step = 0; step < 2 * length; ++step) {
      const double norm = std::sqrt(dx * dx + dy * dy) + 1e-9;
      x += 0.5 * dx / norm;
      y += 0.5 * dy / norm;
      // The fibre bends a little at every step.
      dx += 0.15 * (random.NextFloat() * 2.0 - 1.0);
      dy += 0.15 * (random.NextFloat() * 2.0 - 1.0);
      fibres.At(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))) = tone;
    }
  }
  // Softened, the fibres lie in the pulp instead of on it.
  TileField soft = BoxBlur(fibres, 1);
  f.Add(soft, 0.9);
  f.Add(fibres, 0.08);
  f.Add(PixelNoise(kSize, kSize, random), 0.12);
  return f;
}

// Parchment: large soft mottling with a few darker spots and a fine grain.
TileField Parchment() {
  Random random(808);
  TileField f = FractalNoise(kSize, 4, 6, 0.6, random);
  const TileField spots = ValueNoise(kSize, kSize, 16, 16, random);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) f.At(x, y) -= 2.5 * std::max(0.0, spots.At(x, y) - 0.6);
  f.Add(PixelNoise(kSize, kSize, random), 0.08);
  return f;
}

// Plaster: a relief whose tops were flattened by the trowel.
TileField Plaster() {
  Random random(909);
  TileField h = FractalNoise(kSize, 8, 5, 0.5, random);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) h.At(x, y) = std::min(h.At(x, y), 0.45);
  h.Add(FractalNoise(kSize, 64, 2, 0.5, random), 0.05);
  TileField f = Relief(h);
  f.Scale(4.0);
  f.Add(h, 0.5);
  f.Add(PixelNoise(kSize, kSize, random), 0.08);
  return f;
}

TileField FineGrain() {
  Random random(1010);
  const TileField raw = PixelNoise(kSize, kSize, random);
  TileField f = BoxBlur(raw, 1);
  f.Add(raw, 0.3);
  return f;
}

const std::array<PaperSurface, kPaperSurfaceCount> kSurfaces{{
    {"drawing paper", 9.0, DrawingPaper},
    {"canvas", 14.0, CanvasWeave},
    {"rough watercolour paper", 16.0, RoughWatercolour},
    {"laid paper", 10.0, LaidPaper},
    {"cardboard", 15.0, Cardboard},
    {"linen", 13.0, Linen},
    {"handmade paper", 12.0, HandmadePaper},
    {"parchment", 12.0, Parchment},
    {"plaster", 16.0, Plaster},
    {"fine grain", 10.0, FineGrain},
}};

}  // namespace

const PaperSurface& PaperSurfaceAt(int index) { return kSurfaces.at(static_cast<std::size_t>(index)); }

}  // namespace brumeleaf
