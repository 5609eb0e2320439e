#include "imaging/Progress.h"

#include <algorithm>

namespace brumeleaf {

int ProgressPercent(std::int64_t step, std::int64_t total, int pass, int passes) {
  if (passes == 0) return -1;
  const std::int64_t inPass = total > 0 ? step * 101 / total : 101;
  const std::int64_t position = (inPass + 100 * static_cast<std::int64_t>(pass - 1)) / passes;
  return static_cast<int>(std::clamp<std::int64_t>(position, 0, 100));
}

ProgressPhase ClassifyProgress(std::int64_t step, std::int64_t total, int pass, int passes) {
  if (passes == 0) return ProgressPhase::Ignored;
  if (step >= total && pass >= passes) return ProgressPhase::End;
  if (step == 0 && pass == 1) return ProgressPhase::Start;
  return ProgressPhase::Running;
}

bool ShouldStopAtPercent(int shownPercent, int stopPercent, bool stopAlreadyRequested) {
  if (shownPercent == 100 || stopAlreadyRequested) return false;
  return shownPercent >= stopPercent;
}

int StopPercentForMarker(int markerLeft, int panelWidth) {
  if (panelWidth <= 0) return 100;
  return (markerLeft + 15) * 100 / panelWidth;
}

}  // namespace brumeleaf
