// brumeleaf-cli script INPUT SCRIPT.bfs -o OUTPUT: replays a script on one picture, with the
// same steps, values and random sequence as the desktop program's script window.
// brumeleaf-cli script --check SCRIPT.bfs: lists what each row would do, running nothing.

#include <cstdio>

#include "cli/ApplyOptions.h"
#include "cli/Commands.h"
#include "cli/InterruptStop.h"
#include "cli/SettingsOption.h"
#include "cli/TerminalProgress.h"
#include "effects/Catalogue.h"
#include "io/PictureFile.h"
#include "script/ScriptRunner.h"

namespace brumeleaf::cli {

namespace {

const Option* const kScriptOptions[] = {&options::kOutput,  &options::kCheck,    &options::kParams,
                                        &options::kEffect,  &options::kValues,   &options::kSoften,
                                        &options::kTexture, &options::kStrength, &options::kSettings,
                                        &options::kSeed,    &options::kQuality};

std::string ValuesText(const PlannedStep& step) {
  std::string text;
  for (std::size_t i = 0; i < step.values.size(); ++i) {
    if (i) text += ',';
    if (step.values[i]) text += std::to_string(*step.values[i]);
  }
  return text;
}

int CheckScript(const std::string& path) {
  const Script script = LoadScriptFile(path);
  std::vector<PlannedStep> plan;
  try {
    plan = PlanScript(script);
  } catch (const ScriptError& e) {
    std::printf("%s: %d rows; refused: %s\n", path.c_str(), script.RowCount(), e.what());
    return kExitFailed;
  }
  std::printf("%s: %d rows, %zu steps\n", path.c_str(), script.RowCount(), plan.size());
  for (const PlannedStep& step : plan) {
    const char* action = "runs";
    switch (step.action) {
      case PlannedStep::Action::Effect: action = "draws"; break;
      case PlannedStep::Action::Operation: action = "does"; break;
      case PlannedStep::Action::UnknownOperation: action = "selects"; break;
      case PlannedStep::Action::Skipped: action = "skipped:"; break;
    }
    std::printf("row %-4d code %-4d %-32s [%s] %s %s\n", step.row, step.code, ("\"" + step.label + "\"").c_str(),
                ValuesText(step).c_str(), action, step.note.c_str());
  }
  return kExitOk;
}

}  // namespace

OptionList ScriptCommandOptions() { return kScriptOptions; }

int RunScriptCommand(const Arguments& args) {
  InterruptStop interrupt;
  const ParsedOptions parsed = ParseOptions(args, kScriptOptions);
  if (parsed.Has(options::kCheck)) {
    if (parsed.Positional().size() != 1) throw UsageError("script --check needs exactly one script file");
    return CheckScript(parsed.Positional()[0]);
  }
  if (parsed.Positional().size() != 2) throw UsageError("script needs an input picture and a script file");
  if (!parsed.Has(options::kOutput)) throw UsageError("script needs an output file (-o OUTPUT)");
  const std::string& input = parsed.Positional()[0];
  const std::string& output = parsed.Text(options::kOutput);
  if (FormatFromExtension(output) == PictureFormat::Unknown || FormatFromExtension(output) == PictureFormat::Gif)
    throw UsageError(output + ": the output must end in .jpg, .jpeg, .png or .bmp");

  const Script script = LoadScriptFile(parsed.Positional()[1]);
  Session session(SeedOf(parsed));
  if (const auto settingsFile = parsed.TextIf(options::kSettings)) ApplySettingsFile(*settingsFile, session.Settings());
  ApplyEffectOptions(parsed, session.Settings());
  PictureInfo info;
  session.OpenPicture(LoadPicture(input, &info), input);

  std::optional<Bitmap> stored;
  ScriptRunner runner(session, script, stored, input);
  while (!interrupt.Interrupted() && runner.Advance() == ScriptRunner::Next::RunEffect) {
    const std::string label = runner.CurrentRow() > 0
                                  ? "row " + std::to_string(runner.CurrentRow()) + ": " + EffectNameForCode(session.Settings().CurrentEffect())
                                  : std::string("finishing");
    RunJob job = session.PrepareJob();
    JobOutcome outcome;
    {
      TerminalProgress progress(label);
      outcome = job.Run(session.Rand(), &progress, &interrupt.Flag());
    }
    session.Accept(job, outcome);
    runner.EffectFinished(outcome);
    if (outcome.Failed()) std::fprintf(stderr, "brumeleaf-cli: %s: %s\n", label.c_str(), outcome.message.c_str());
  }
  if (interrupt.Interrupted()) runner.Stop();
  if (!runner.Completed()) {
    std::fprintf(stderr, "brumeleaf-cli: the script %s; nothing was written.\n",
                 runner.Outcome().Failed() ? "failed" : "was stopped");
    return kExitFailed;
  }
  SaveOptions save;
  save.jpegQuality = static_cast<int>(parsed.IntegerIf(options::kQuality).value_or(95));
  save.dpi = info.dpi;
  SavePicture(session.Result(), output, save);
  return kExitOk;
}

}  // namespace brumeleaf::cli
