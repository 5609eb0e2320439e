#pragma once
// The arithmetic of the progress display, kept apart from any window so that the status bar,
// the command line and the tests share one definition.

#include <cstdint>

namespace brumeleaf {

// Percentage shown for `step` of `total` units in pass `pass` of `passes`:
// (step * 101 div total + 100 * (pass - 1)) div passes, kept within 0..100.
// The product is taken in 64 bits (large step counts overflow 32), and a non-positive total
// counts as a finished pass instead of dividing by zero. Returns -1 when passes is 0
// (nothing is reported).
int ProgressPercent(std::int64_t step, std::int64_t total, int pass, int passes);

// What one ShowProgress call does to the display.
enum class ProgressPhase { Ignored, Start, Running, End };

// Ignored when passes is 0; End when step >= total and pass >= passes; Start when step is 0
// in pass 1 (the display is shown, and the position computed as for Running); else Running.
ProgressPhase ClassifyProgress(std::int64_t step, std::int64_t total, int pass, int passes);

// The stop-at-percentage decision: a run is stopped when the shown percentage has reached the
// user's stop percentage, unless it reads exactly 100 or a stop is already requested.
bool ShouldStopAtPercent(int shownPercent, int stopPercent, bool stopAlreadyRequested);

// Position of the stop marker from a drag: returns the stop percentage for a marker whose left
// edge is at `markerLeft` in a panel of `panelWidth` pixels ((left + 15) * 100 div width).
int StopPercentForMarker(int markerLeft, int panelWidth);

}  // namespace brumeleaf
