#include "cli/EffectRun.h"

#include <chrono>
#include <cctype>
#include <cstdio>

#include "cli/TerminalProgress.h"
#include "pipeline/RunEffect.h"

namespace brumeleaf::cli {

SourceMean MeanColourOf(const Bitmap& picture) {
  std::int64_t red = 0, green = 0, blue = 0;
  for (int y = 0; y < picture.Height(); ++y) {
    const std::uint8_t* p = picture.ScanLine(y);
    for (int x = 0; x < picture.Width(); ++x, p += 3) {
      blue += p[0];
      green += p[1];
      red += p[2];
    }
  }
  const std::int64_t count = static_cast<std::int64_t>(picture.Width()) * picture.Height();
  if (count == 0) return SourceMean{};
  return SourceMean{red / count, green / count, blue / count};
}

std::uint32_t ClockSeed() {
  const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
  return static_cast<std::uint32_t>(ticks);
}

std::optional<Bitmap> RunEffectOnPicture(const Bitmap& source, const EffectRunRequest& request,
                                         std::atomic<bool>& stop) {
  std::atomic<bool> failed{false};
  Random random(request.seed);
  RunContext ctx(request.params, random);
  ctx.mean = MeanColourOf(source);
  ctx.SetStopFlag(&stop);
  ctx.SetCancelFlag(&failed);
  Bitmap result;
  RunOutcome outcome;
  {
    TerminalProgress progress(request.label);
    ctx.SetSink(&progress);
    outcome = RunEffect(request.code, source, result, ctx);
    ctx.SetSink(nullptr);
  }
  if (outcome == RunOutcome::Completed && !stop.load()) return result;
  if (failed.load()) {
    stop.store(false);  // a failed run stopped itself; the next run must not inherit that
    std::fprintf(stderr, "brumeleaf-cli: %s failed; nothing was written.\n", request.label.c_str());
  } else {
    std::fprintf(stderr, "brumeleaf-cli: %s was stopped; nothing was written.\n",
                 request.label.c_str());
  }
  return std::nullopt;
}

std::string FileNamePart(const std::string& entryName) {
  std::string part;
  bool gap = false;
  for (unsigned char c : entryName) {
    if (std::isalnum(c)) {
      if (gap && !part.empty()) part += '-';
      part += static_cast<char>(std::tolower(c));
      gap = false;
    } else {
      gap = true;
    }
  }
  return part;
}

}  // namespace brumeleaf::cli
