#include "cli/TerminalProgress.h"

#include <unistd.h>

#include <utility>

#include "imaging/Progress.h"

namespace brumeleaf::cli {

namespace {
constexpr int kBarWidth = 30;
}

TerminalProgress::TerminalProgress(std::string label, std::FILE* to)
    : label_(std::move(label)), to_(to), enabled_(isatty(fileno(to)) != 0) {}

TerminalProgress::~TerminalProgress() { Clear(); }

std::string TerminalProgress::BarText(const std::string& label, int percent) {
  const int filled = percent * kBarWidth / 100;
  std::string bar = label + " [";
  bar.append(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kBarWidth - filled), ' ');
  bar += "] " + std::to_string(percent) + "%";
  return bar;
}

void TerminalProgress::ShowProgress(int step, int total, int pass, int passes) {
  if (!enabled_) return;
  switch (ClassifyProgress(step, total, pass, passes)) {
    case ProgressPhase::Ignored:
      return;
    case ProgressPhase::End:
      Clear();
      return;
    case ProgressPhase::Start:
    case ProgressPhase::Running: {
      const int percent = ProgressPercent(step, total, pass, passes);
      if (percent == shown_) return;
      shown_ = percent;
      std::fprintf(to_, "\r%s", BarText(label_, percent).c_str());
      std::fflush(to_);
      return;
    }
  }
}

void TerminalProgress::Clear() {
  if (!enabled_ || shown_ < 0) return;
  // Blank the line so that a message printed next starts clean.
  const std::string blank(BarText(label_, 100).size(), ' ');
  std::fprintf(to_, "\r%s\r", blank.c_str());
  std::fflush(to_);
  shown_ = -1;
}

}  // namespace brumeleaf::cli
