// brumeleaf-cli batch FILE... -d FOLDER: one effect (or a script) on every picture of a list,
// each result written as NAME_Brumeleaf.EXT into the folder. Progress goes to standard error,
// the summary to standard output; the exit code is 0 only when no file failed.

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>

#include "batch/Batch.h"
#include "cli/ApplyOptions.h"
#include "cli/Commands.h"
#include "cli/InterruptStop.h"
#include "cli/SettingsOption.h"
#include "cli/TerminalProgress.h"
#include "script/ScriptRunner.h"

namespace brumeleaf::cli {

namespace {

namespace fs = std::filesystem;

const Option* const kBatchOptions[] = {
    &options::kOutputFolder, &options::kOverwrite, &options::kFrom,     &options::kJobs,
    &options::kShard,        &options::kParams,    &options::kEffect,   &options::kValues,
    &options::kSoften,       &options::kTexture,   &options::kStrength, &options::kScript,
    &options::kSettings,     &options::kSeedFromOne, &options::kQuality};

void ReadList(std::istream& in, std::vector<fs::path>& inputs) {
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) inputs.emplace_back(line);
  }
}

std::vector<fs::path> Inputs(const ParsedOptions& parsed) {
  std::vector<fs::path> inputs(parsed.Positional().begin(), parsed.Positional().end());
  if (const auto list = parsed.TextIf(options::kFrom)) {
    if (*list == "-") {
      ReadList(std::cin, inputs);
    } else {
      std::ifstream in(*list);
      if (!in) throw std::runtime_error(*list + ": cannot read the list");
      ReadList(in, inputs);
    }
  }
  return inputs;
}

class Reporter : public BatchObserver {
 public:
  explicit Reporter(bool bars) : bars_(bars) {}
  void FileStarted(int ordinal, int total, const BatchEntry& entry) override {
    label_.assign(1, '[');
    label_.append(std::to_string(ordinal)).append("/").append(std::to_string(total)).append("] ");
    label_.append(entry.input.filename().string());
    if (!bars_) std::fprintf(stderr, "%s\n", label_.c_str());
  }
  ProgressSink* Progress(const BatchEntry&) override {
    if (!bars_) return nullptr;
    bar_ = std::make_unique<TerminalProgress>(label_);
    return bar_.get();
  }
  void FileDone(const FileOutcome& outcome) override {
    bar_.reset();
    if (outcome.kind == FileOutcome::Kind::Failed)
      std::fprintf(stderr, "brumeleaf-cli: %s: %s\n", outcome.input.string().c_str(), outcome.message.c_str());
  }

 private:
  bool bars_;
  std::string label_;
  std::unique_ptr<TerminalProgress> bar_;
};

}  // namespace

OptionList BatchCommandOptions() { return kBatchOptions; }

int RunBatch(const Arguments& args) {
  InterruptStop interrupt;
  const ParsedOptions parsed = ParseOptions(args, kBatchOptions);
  BatchOptions options;
  try {
    if (const auto shard = parsed.TextIf(options::kShard)) options.shard = ParseShard(*shard);
  } catch (const BatchError& e) {
    throw UsageError(e.what());
  }
  if (parsed.Has(options::kScript) && (parsed.Has(options::kEffect) || parsed.Has(options::kValues)))
    throw UsageError("--script chooses its own effects; leave out --effect and --values");
  const std::vector<fs::path> inputs = Inputs(parsed);
  if (inputs.empty()) throw UsageError("batch needs input pictures (as arguments or with --from)");
  // Without -d the results go beside the first picture, as in the desktop program.
  options.folder = parsed.Has(options::kOutputFolder) ? fs::path(parsed.Text(options::kOutputFolder))
                                                      : fs::absolute(inputs.front()).parent_path();
  if (options.folder.empty()) throw UsageError("the output folder must not be empty");
  options.overwrite = parsed.Has(options::kOverwrite);
  options.jobs = static_cast<int>(parsed.IntegerIf(options::kJobs).value_or(1));
  options.jpegQuality = static_cast<int>(parsed.IntegerIf(options::kQuality).value_or(95));

  BatchWork work;
  // A fixed seed by default, so that shards on different machines agree.
  work.seed = parsed.Has(options::kSeed) ? SeedOf(parsed) : 1;
  if (const auto settingsFile = parsed.TextIf(options::kSettings)) ApplySettingsFile(*settingsFile, work.settings);
  ApplyEffectOptions(parsed, work.settings);
  if (const auto script = parsed.TextIf(options::kScript)) {
    work.script = LoadScriptFile(*script);
    PlanScript(*work.script);  // refused here, before any picture, if it cannot run
  }

  Reporter reporter(options.jobs == 1 && isatty(fileno(stderr)) != 0);
  const BatchSummary summary = brumeleaf::RunBatch(inputs, work, options, interrupt.Flag(), &reporter);
  for (const FileOutcome& file : summary.files) {
    if (file.kind == FileOutcome::Kind::Skipped)
      std::printf("skipped  %s: %s\n", file.input.string().c_str(), file.message.c_str());
    else if (file.kind == FileOutcome::Kind::Failed)
      std::printf("failed   %s: %s\n", file.input.string().c_str(), file.message.c_str());
  }
  std::printf("%s\n", SummaryLine(summary).c_str());
  return summary.Succeeded() ? kExitOk : kExitFailed;
}

}  // namespace brumeleaf::cli
