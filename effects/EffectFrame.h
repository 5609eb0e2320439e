#pragma once
// The signature every effect's run frame has: read `source` (the left panel), write `result`
// (the right panel, which holds the previous result on entry). A frame prepares its working
// pictures, runs the algorithm and delivers through the surface finish; the frame and caption
// steps come later, in the pipeline.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

using EffectFrame = void (*)(const Bitmap& source, Bitmap& result, RunContext& ctx);

}  // namespace brumeleaf
