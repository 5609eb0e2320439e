#include "effects/FrameSteps.h"

#include <new>

#include "finishing/SurfaceFinish.h"

namespace brumeleaf {

void Deliver(const Bitmap& output, Bitmap& result, RunContext& ctx, Delivery how) {
  if (how == Delivery::SurfaceFinish) {
    ApplySurfaceFinish(output, result, ctx);
  } else if (&output != &result) {
    result = output;
  }
}

void CutCentre(Bitmap& image, int width, int height) {
  const int dx = (image.Width() - width) / 2;
  const int dy = (image.Height() - height) / 2;
  Bitmap cut(width, height);
  cut.Draw(-dx, -dy, image);
  image = std::move(cut);
}

namespace {

[[noreturn]] void FailGuardedRun(const Bitmap& source, Bitmap& result, RunContext& ctx,
                                 const char* message) {
  try {
    result = source;
  } catch (const std::bad_alloc&) {
    result = Bitmap();  // not even the copy fits: leave an empty result rather than half a one
  }
  ctx.ShowProgress(101, 100, 3, 3);
  throw ImageError(message);
}

}  // namespace

void RunGuarded(const Bitmap& source, Bitmap& result, RunContext& ctx,
                const std::function<void()>& work) {
  try {
    work();
  } catch (const ImageError& e) {
    FailGuardedRun(source, result, ctx, e.what());
  } catch (const std::bad_alloc&) {
    FailGuardedRun(source, result, ctx, kNotEnoughMemoryMessage);
  }
}

namespace {

// The part of both working-pair runs after W1: W2 made, the algorithm run, W2 delivered.
void RunOnSecond(const Bitmap& S, Bitmap& R, RunContext& ctx, const WorkingPair& pair,
                 const std::function<void(Bitmap& w2)>& run) {
  // R is written whole at the end, so the copy of the source it starts as only shows after a
  // failure; it is made then instead of being held through the run (36 MB at 12 megapixels).
  Bitmap w2;
  try {
    if (pair.secondIsSourceCopy) {
      w2 = S;
    } else {
      w2.SetSize(S.Width(), S.Height());
      if (pair.secondFill != kWhite) w2.Fill(pair.secondFill);
    }
    const DrawingShown shown(ctx, &w2);
    run(w2);
  } catch (...) {
    w2 = Bitmap();
    if (pair.resultStartsAsSource) R = S;
    throw;
  }
  // W2 is not needed after the delivery: the result takes its pixels instead of a copy.
  R = std::move(w2);
  Deliver(R, R, ctx, pair.delivery);
}

}  // namespace

void RunOnWorkingPair(const Bitmap& S, Bitmap& R, RunContext& ctx, const WorkingPair& pair,
                      const std::function<void(Bitmap& w1, Bitmap& w2)>& algorithm) {
  RunOnSecond(S, R, ctx, pair, [&](Bitmap& w2) {
    Bitmap w1 = S;
    algorithm(w1, w2);
  });
}

void RunOnSourceAndSecond(const Bitmap& S, Bitmap& R, RunContext& ctx, const WorkingPair& pair,
                          const std::function<void(const Bitmap& w1, Bitmap& w2)>& algorithm) {
  RunOnSecond(S, R, ctx, pair, [&](Bitmap& w2) { algorithm(S, w2); });
}

}  // namespace brumeleaf
