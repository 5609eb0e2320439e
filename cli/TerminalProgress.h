#pragma once
// The progress bar of brumeleaf-cli: a bar and a percentage on standard error, redrawn in
// place, shown only when standard error is a terminal.

#include <cstdio>
#include <string>

#include "imaging/RunContext.h"

namespace brumeleaf::cli {

class TerminalProgress : public ProgressSink {
 public:
  // `label` precedes the bar (the effect's name).
  explicit TerminalProgress(std::string label, std::FILE* to = stderr);
  ~TerminalProgress() override;
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  void ShowProgress(int step, int total, int pass, int passes) override;

  // The text drawn for a percentage, without the leading carriage return.
  static std::string BarText(const std::string& label, int percent);

 private:
  void Clear();

  std::string label_;
  std::FILE* to_;
  bool enabled_;
  int shown_ = -1;  // percentage on screen, -1 when the bar is not shown
};

}  // namespace brumeleaf::cli
