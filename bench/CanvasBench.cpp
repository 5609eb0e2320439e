// The canvas operations as the effects use them, on a 12-megapixel picture: many tiny strokes
// (halftone lines, hatching), wide strokes, small filled shapes, a vignette's hundreds of
// growing ellipse outlines, a large flood fill and scaled copies.

#include <benchmark/benchmark.h>

#include "imaging/Canvas.h"
#include "imaging/Random.h"

namespace brumeleaf {
namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

void BM_CanvasShortLines(benchmark::State& state) {
  Bitmap b(kWidth, kHeight);
  Canvas c(b);
  for (auto _ : state) {
    for (int i = 0; i < 1000000; ++i) {
      const int x = i % kWidth, y = (i / kWidth) * 11 % kHeight;
      c.MoveTo(x, y);
      c.LineTo(x, y + 5);
    }
  }
  state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_CanvasShortLines)->Unit(benchmark::kMillisecond);

void BM_CanvasWideStrokes(benchmark::State& state) {
  Bitmap b(kWidth, kHeight);
  Canvas c(b);
  c.penWidth = static_cast<int>(state.range(0));
  for (auto _ : state) {
    Random r(kEffectSeed);
    for (int i = 0; i < 100000; ++i) {
      const int x = r.NextInt(kWidth), y = r.NextInt(kHeight);
      c.MoveTo(x, y);
      c.LineTo(x + r.NextInt(40) - 20, y + r.NextInt(40) - 20);
    }
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_CanvasWideStrokes)->Arg(2)->Arg(6)->Unit(benchmark::kMillisecond);

void BM_CanvasSmallShapes(benchmark::State& state) {
  Bitmap b(kWidth, kHeight);
  Canvas c(b);
  const bool discs = state.range(0) != 0;
  for (auto _ : state) {
    Random r(kEffectSeed);
    for (int i = 0; i < 100000; ++i) {
      const int x = r.NextInt(kWidth), y = r.NextInt(kHeight), d = r.NextInt(40);
      c.brushColor = c.penColor = MakeColour(x % 256, y % 256, d);
      if (discs) {
        c.Ellipse({x - d / 2, y - d / 2, x + d / 2, y + d / 2});
      } else {
        c.Polygon({{x, y}, {x + d, y + 3}, {x + d / 2, y + d}, {x - 3, y + d / 3}});
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_CanvasSmallShapes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_CanvasVignetteOutlines(benchmark::State& state) {
  Bitmap b(kWidth, kHeight);
  Canvas c(b);
  c.penWidth = 2;
  c.brushClear = true;
  const int half = kWidth / 2;
  for (auto _ : state) {
    for (int i = 0; i <= half; ++i) {
      const int v = ((half - (i * 16) / 10) * 255) / half;
      c.penColor = v < 0 ? kBlack : MakeColour(v, v, v);
      c.Ellipse({-i, -i, kWidth + i, kHeight + i});
    }
  }
}
BENCHMARK(BM_CanvasVignetteOutlines)->Unit(benchmark::kMillisecond);

void BM_CanvasFloodFill(benchmark::State& state) {
  Bitmap b(kWidth, kHeight);
  Canvas c(b);
  Colour from = kWhite;
  for (auto _ : state) {
    c.brushColor = from == kWhite ? kBlack : kWhite;
    c.FloodFill(kWidth / 2, kHeight / 2, from, FloodFillStyle::Surface);
    from = c.brushColor;
  }
}
BENCHMARK(BM_CanvasFloodFill)->Unit(benchmark::kMillisecond);

void BM_CanvasStretchDraw(benchmark::State& state) {
  const Bitmap half(kWidth / 2, kHeight / 2);
  Bitmap b(kWidth, kHeight);
  Canvas c(b);
  for (auto _ : state) c.StretchDraw({0, 0, kWidth, kHeight}, half);
}
BENCHMARK(BM_CanvasStretchDraw)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brumeleaf
