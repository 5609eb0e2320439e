#pragma once
// The stages of Pencil sketch 5 that draw single darkened pixels: the random hatching and the
// two edge-stroke passes. Each returns false when a stop was requested after one of its rows.

#include "effects/drawing/PencilSketch5.h"

namespace brumeleaf {

// Reports the end of a row of one of the three passes and tells whether the run goes on.
class RowReporter {
 public:
  RowReporter(RunContext& ctx, int height) : ctx_(ctx), height_(height) {}
  bool RowDone(int row, int pass);

 private:
  RunContext& ctx_;
  int height_;
};

// Short random hatching strokes over the white drawing, denser where `source` is darker.
bool HatchDarkness(const Bitmap& source, Bitmap& drawing, int darkenLighten, RunContext& ctx,
                   RowReporter& reporter);

// One edge-stroke pass: strokes across the gradient of `source` where (|H| + |V|) div
// `magnitudeDivisor` reaches the threshold, `lengthDivisor` setting their length.
struct EdgePass {
  int magnitudeDivisor = 5;
  int lengthDivisor = 12;
  int pass = 2;
};
bool DrawEdgePass(const Bitmap& source, Bitmap& drawing, const PencilSketch5Settings& settings,
                  const EdgePass& edgePass, RowReporter& reporter);

}  // namespace brumeleaf
