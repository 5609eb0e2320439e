// brumeleaf-cli apply INPUT -o OUTPUT [options]: one effect on one picture.

#include <cstdio>

#include "cli/ApplyOptions.h"
#include "cli/Commands.h"
#include "cli/EffectRun.h"
#include "cli/FrameTextOptions.h"
#include "cli/InterruptStop.h"
#include "imaging/ParallelRows.h"
#include "io/PictureFile.h"

namespace brumeleaf::cli {

namespace {

const Option* const kApplyOptions[] = {&options::kOutput, &options::kParams, &options::kEffect,
                                       &options::kValues, &options::kSoften, &options::kTexture,
                                       &options::kStrength, &options::kSeed, &options::kQuality, &options::kThreads,
                                       &options::kSettings, &options::kFrame, &options::kMargin,
                                       &options::kSpacing, &options::kFrameNumber, &options::kTint,
                                       &options::kFillColour, &options::kLineColour, &options::kAddFrame,
                                       &options::kText, &options::kFont, &options::kFontSize,
                                       &options::kFontStyle, &options::kTextColour, &options::kTextPosition,
                                       &options::kTextAt, &options::kNoShadow, &options::kAddText};

void CheckOutputFormat(const std::string& path) {
  const PictureFormat format = FormatFromExtension(path);
  if (format != PictureFormat::Jpeg && format != PictureFormat::Png && format != PictureFormat::Bmp)
    throw UsageError(path + ": the output must end in .jpg, .jpeg, .png or .bmp");
}

std::string LabelOf(const EffectSettings& settings) {
  std::string label = EntryName(Language::English(), settings.ListIndex());
  label.erase(label.find_last_not_of(' ') + 1);
  return label;
}

}  // namespace

OptionList ApplyCommandOptions() { return kApplyOptions; }

int RunApply(const Arguments& args) {
  InterruptStop interrupt;  // from the start: Ctrl-C while loading also writes nothing
  const ParsedOptions parsed = ParseOptions(args, kApplyOptions);
  if (parsed.Positional().size() != 1) throw UsageError("apply needs exactly one input picture");
  if (!parsed.Has(options::kOutput)) throw UsageError("apply needs an output file (-o OUTPUT)");
  const std::string& output = parsed.Text(options::kOutput);
  CheckOutputFormat(output);
  if (const auto threads = parsed.IntegerIf(options::kThreads)) SetRowPassThreads(static_cast<int>(*threads));

  Session session(SeedOf(parsed));
  ApplyEffectOptions(parsed, session.Settings());
  ApplyFrameTextOptions(parsed, session.Settings());
  const std::unique_ptr<QGuiApplication> display = TextDisplayFor(session.Settings());
  PictureInfo info;
  const std::string& input = parsed.Positional()[0];
  // One run and no undo: the picture moves into the job, and the source is freed before the
  // result is encoded.
  Bitmap result;
  {
    RunJob job = session.PrepareSingleJob(LoadPicture(input, &info));
    if (!RunWithProgress(job, session.Rand(), LabelOf(session.Settings()), interrupt.Flag())) return kExitFailed;
    result = job.TakeResult();
  }

  SaveOptions save;
  save.jpegQuality = static_cast<int>(parsed.IntegerIf(options::kQuality).value_or(95));
  save.dpi = info.dpi;
  save.stop = &interrupt.Flag();  // Ctrl-C during the save writes nothing either
  SavePicture(result, output, save);
  return kExitOk;
}

}  // namespace brumeleaf::cli
