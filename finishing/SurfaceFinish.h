#pragma once
// The surface stage every effect handler passes its output through: soft edges and paper
// texture, as chosen in the parameter snapshot.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

// Writes `from`, softened and textured as the options say, into `to` (resized to `from`).
void ApplySurfaceFinish(const Bitmap& from, Bitmap& to, RunContext& ctx);

}  // namespace brumeleaf
