#pragma once
// Pictures and figures shared by the benchmarks.

#include <benchmark/benchmark.h>

#include "imaging/Bitmap.h"
#include "imaging/Geometry.h"
#include "io/PictureFile.h"

namespace brumeleaf {

// The bundled sample photograph enlarged to width x height: a real photograph's mix of flat
// areas and edges at any size. The last size asked for is kept, so that asking again inside a
// benchmark's loop costs nothing and the enlargement is never timed twice.
inline const Bitmap& EnlargedSample(int width, int height) {
  static const Bitmap sample = LoadPicture(BRUMELEAF_BENCH_SAMPLE);
  static Bitmap photo;
  if (photo.Width() != width || photo.Height() != height) {
    photo.SetSize(width, height);
    StretchBilinear(sample, photo);
  }
  return photo;
}

// Reports, under `name`, the megapixels drawn per second when each iteration draws `megapixels`.
inline void ReportMegapixelRate(benchmark::State& state, double megapixels, const char* name = "MP/s") {
  state.counters[name] =
      benchmark::Counter(megapixels * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace brumeleaf
