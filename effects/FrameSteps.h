#pragma once
// Building blocks of the per-code frames, so that each frame reads like its row of the
// handler table: working pictures, algorithm, then surface finish or plain copy.

#include <functional>

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

inline constexpr const char* kNotEnoughMemoryMessage =
    "Sorry, not enough memory to proceed. Try decreasing the size of the source image.";

// How a frame moves its algorithm's output into the result.
enum class Delivery {
  SurfaceFinish,  // through ApplySurfaceFinish (soft edges, paper texture)
  PlainCopy       // as it is (the effect finishes its own surface, or the table says so)
};

void Deliver(const Bitmap& output, Bitmap& result, RunContext& ctx, Delivery how);

// Moves the width x height rectangle at the centre of `image` (offset (image width - width)
// div 2, (image height - height) div 2) to its top-left corner and cuts `image` to that size.
// Parts outside `image` come out white.
void CutCentre(Bitmap& image, int width, int height);

// The failure handling of the rotating drawing effects: when `work` fails, the result becomes
// the copy of the source again, the progress display ends (pass 3 of 3) and the failure goes
// on as an ImageError with the program's message (out of memory included). A failure is never
// reported as a finished drawing.
void RunGuarded(const Bitmap& source, Bitmap& result, RunContext& ctx,
                const std::function<void()>& work);

// The most common frame: W1 := copy of S; W2 := a new picture of S's size; algorithm (W1, W2);
// W1 freed; W2 delivered into R.
struct WorkingPair {
  bool resultStartsAsSource = true;  // "R := copy of S" before the algorithm
  Colour secondFill = kWhite;        // W2's initial colour (black for the mosaics)
  bool secondIsSourceCopy = false;   // W2 := copy of S instead of a filled picture
  Delivery delivery = Delivery::SurfaceFinish;
};
void RunOnWorkingPair(const Bitmap& S, Bitmap& R, RunContext& ctx, const WorkingPair& pair,
                      const std::function<void(Bitmap& w1, Bitmap& w2)>& algorithm);
// The same for an algorithm that only reads W1: the source itself stands in for that copy
// (the same pixels, and 36 MB less at 12 megapixels).
void RunOnSourceAndSecond(const Bitmap& S, Bitmap& R, RunContext& ctx, const WorkingPair& pair,
                          const std::function<void(const Bitmap& w1, Bitmap& w2)>& algorithm);

}  // namespace brumeleaf
