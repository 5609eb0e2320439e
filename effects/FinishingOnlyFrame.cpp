// "Frame, texture and text only": no algorithm, so that a finished picture can be re-textured
// and re-framed without drawing it again.

#include "effects/FrameSteps.h"
#include "effects/Frames.h"

namespace brumeleaf {

void FrameNoFilter(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  Deliver(S, R, ctx, Delivery::SurfaceFinish);
}

}  // namespace brumeleaf
