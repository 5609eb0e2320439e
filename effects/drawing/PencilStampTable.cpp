#include "effects/drawing/PencilStampTable.h"

#include <array>
#include <string>

#include "imaging/Filters.h"
#include "imaging/Geometry.h"
#include "imaging/Random.h"
#include "imaging/RunContext.h"
#include "resources/PencilStrokes.h"

namespace brumeleaf {

namespace {

using StampTable = std::array<Bitmap, kPencilStampAngles>;

// Cuts the 100 x 100 centre out of a rotated entry (only angle 40 enlarges the canvas).
void CutCentre(Bitmap& entry, Bitmap& scratch) {
  scratch.Fill(kWhite);
  scratch.Draw((kPencilStampSize - entry.Width()) / 2, (kPencilStampSize - entry.Height()) / 2, entry);
  entry.SetSize(kPencilStampSize, kPencilStampSize);
  entry.Draw(0, 0, scratch);
}

StampTable BuildTable() {
  // The rotations get a context of their own with no stop flag and no progress sink: the
  // table outlives the run that builds it, so that run's stop must not cut it short.
  Random unused;
  RunContext quiet(ParameterSnapshot{}, unused);
  quiet.processing = false;
  quiet.silent = true;

  StampTable table;
  Bitmap stroke(kPencilStampSize, kPencilStampSize);
  for (int angle = 0; angle < kPencilStampAngles; ++angle) {
    Bitmap& entry = table[static_cast<std::size_t>(angle)];
    entry.SetSize(kPencilStampSize, kPencilStampSize);
    // Every third angle takes the arched stroke, so neighbouring strokes differ in shape.
    StretchBilinear(angle % 3 == 0 ? PencilStroke2() : PencilStroke(), stroke);
    RotateBitmapAngle(stroke, entry, angle, quiet);
    if (angle % 2 == 0) BoxBlur3(entry);
    CutCentre(entry, stroke);
  }
  return table;
}

const StampTable& Table() {
  static const StampTable table = BuildTable();
  return table;
}

}  // namespace

const Bitmap& PencilStamp(int angle) {
  if (angle < 0 || angle >= kPencilStampAngles)
    throw ImageError("There is no pencil stroke for the angle " + std::to_string(angle) + ".");
  return Table()[static_cast<std::size_t>(angle)];
}

}  // namespace brumeleaf
