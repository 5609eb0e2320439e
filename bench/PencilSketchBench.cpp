// Pencil sketch 1 at its default values on a 2- and a 12-megapixel photo-like picture.

#include <benchmark/benchmark.h>

#include <cmath>

#include "effects/EffectTable.h"
#include "pipeline/RunEffect.h"

namespace {

using namespace brumeleaf;

// Smooth shading, a few hard-edged shapes and a little grain: flat areas and edges in the
// proportions of a photograph.
Bitmap PhotoLike(int width, int height) {
  Bitmap picture(width, height);
  Random grain(4242);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = picture.ScanLine(y);
    for (int x = 0; x < width; ++x, p += 3) {
      const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
      int r = static_cast<int>(120 + 90 * std::sin(6 * u + 2 * v));
      int g = static_cast<int>(130 + 80 * std::cos(5 * v - 3 * u));
      int b = static_cast<int>(110 + 70 * std::sin(9 * u * v));
      const double dx = u - 0.4, dy = v - 0.5;
      if (dx * dx + dy * dy < 0.04) r = 210, g = 90, b = 60;
      if (std::fmod(u * 7, 1.0) < 0.08 && v > 0.6) r = g = b = 35;
      const int noise = static_cast<int>(grain.Next(13)) - 6;
      p[0] = ClampLevel(b + noise);
      p[1] = ClampLevel(g + noise);
      p[2] = ClampLevel(r + noise);
    }
  }
  return picture;
}

void PencilSketch1(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const Bitmap source = PhotoLike(width, height);
  const ParameterSnapshot defaults = DefaultSnapshot(0);
  Random random(1);
  Bitmap result;
  for (auto _ : state) {
    RunContext ctx(defaults, random);
    RunEffect(0, source, result, ctx);
    benchmark::DoNotOptimize(result.Data());
  }
  const double megapixels = static_cast<double>(width) * height / 1e6;
  state.counters["MP/s"] =
      benchmark::Counter(megapixels, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(PencilSketch1)->Args({1600, 1200})->Args({4000, 3000})->Unit(benchmark::kSecond)->Iterations(2);

}  // namespace
