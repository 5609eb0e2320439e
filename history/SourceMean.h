#pragma once
// The mean red, green and blue of the source picture, which several effects read.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

// Per channel: the sum over all pixels divided by width x height, truncated. An empty picture
// has no mean; it keeps `previous` instead of dividing by zero.
SourceMean ComputeSourceMean(const Bitmap& source, const SourceMean& previous = {});

}  // namespace brumeleaf
