#pragma once
// Contexts, stop triggers and picture checks shared by the tests of the stylised effects.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"
#include "tests/core/SyntheticPhoto.h"
#include "tests/core/TestPictures.h"

namespace brumeleaf::testing {

// A run context over its own generator and stop flag, with the five slider values s1..s5.
struct StylisedRun {
  explicit StylisedRun(std::array<int, 5> s, int code = 0, std::uint32_t seed = 77) : random(seed), ctx(Params(s, code), random) {
    ctx.SetStopFlag(&stop);
    ctx.SetSink(&sink);
  }
  static ParameterSnapshot Params(std::array<int, 5> s, int code) {
    ParameterSnapshot p;
    p.code = code;
    p.s = s;
    return p;
  }
  Random random;
  RunContext ctx;
  std::atomic<bool> stop{false};
  RecordingSink sink;
};

// Raises the stop flag at the n-th progress report.
struct StopAtReport : RecordingSink {
  std::atomic<bool>* stop = nullptr;
  std::size_t at = 1;
  void ShowProgress(int step, int total, int pass, int passes) override {
    RecordingSink::ShowProgress(step, total, pass, passes);
    if (calls.size() >= at) stop->store(true);
  }
};

inline bool AnyReportAtOrBeyond(const RecordingSink& sink, int step, int total) {
  for (const auto& call : sink.calls)
    if (call[0] >= step && call[1] == total) return true;
  return false;
}

// Pixel accessors by channel, for hand-computed expectations.
inline int Red(const Bitmap& b, int x, int y) { return RedOf(b.Pixel(x, y)); }
inline int Green(const Bitmap& b, int x, int y) { return GreenOf(b.Pixel(x, y)); }
inline int Blue(const Bitmap& b, int x, int y) { return BlueOf(b.Pixel(x, y)); }

inline Bitmap FromRows(int width, int height, std::initializer_list<Colour> pixels) {
  Bitmap b(width, height);
  int i = 0;
  for (Colour c : pixels) {
    b.SetPixel(i % width, i / width, c);
    ++i;
  }
  return b;
}

inline Colour Grey(int v) { return MakeColour(v, v, v); }

}  // namespace brumeleaf::testing
