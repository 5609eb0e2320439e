#include "cli/EffectRun.h"

#include <cctype>
#include <cstdio>

#include "cli/TerminalProgress.h"

namespace brumeleaf::cli {

bool RunWithProgress(RunJob& job, Random& random, const std::string& label, std::atomic<bool>& stop) {
  JobOutcome outcome;
  {
    TerminalProgress progress(label);
    outcome = job.Run(random, &progress, &stop);
  }
  if (outcome.Completed() && !stop.load()) {
    // A frame or caption that had to be left out: the drawing is still written.
    if (!outcome.message.empty()) std::fprintf(stderr, "brumeleaf-cli: %s\n", outcome.message.c_str());
    return true;
  }
  if (outcome.Failed()) {
    std::fprintf(stderr, "brumeleaf-cli: %s: %s Nothing was written.\n", label.c_str(), outcome.message.c_str());
  } else {
    std::fprintf(stderr, "brumeleaf-cli: %s was stopped; nothing was written.\n", label.c_str());
  }
  return false;
}

std::optional<Bitmap> RunSelectedEffect(Session& session, const std::string& label, std::atomic<bool>& stop) {
  RunJob job = session.PrepareJob();
  if (!RunWithProgress(job, session.Rand(), label, stop)) return std::nullopt;
  session.Accept(job, JobOutcome{});
  return session.Result();
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
