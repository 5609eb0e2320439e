// brumeleaf-cli apply INPUT -o OUTPUT [options]: one effect on one picture.

#include <cstdio>

#include "cli/ApplyOptions.h"
#include "cli/Commands.h"
#include "cli/EffectRun.h"
#include "cli/InterruptStop.h"
#include "io/PictureFile.h"

namespace brumeleaf::cli {

namespace {

void CheckOutputFormat(const std::string& path) {
  const PictureFormat format = FormatFromExtension(path);
  if (format != PictureFormat::Jpeg && format != PictureFormat::Png && format != PictureFormat::Bmp)
    throw UsageError(path + ": the output must end in .jpg, .jpeg, .png or .bmp");
}

}  // namespace

int RunApply(const Arguments& args) {
  InterruptStop interrupt;  // from the start: Ctrl-C while loading also writes nothing
  ParameterModel model;
  const ApplyOptions options = ParseApplyArguments(args, model);
  CheckOutputFormat(options.output);
  PictureInfo info;
  const Bitmap source = LoadPicture(options.input, &info);

  EffectRunRequest request;
  request.code = model.CurrentEffect();
  request.params = model.Snapshot();
  request.seed = options.seed ? *options.seed : ClockSeed();
  request.label = model.EntryText();
  request.label.erase(request.label.find_last_not_of(' ') + 1);
  const std::optional<Bitmap> result = RunEffectOnPicture(source, request, interrupt.Flag());
  if (!result) return kExitFailed;

  SaveOptions save;
  save.jpegQuality = options.quality;
  save.dpi = info.dpi;
  SavePicture(*result, options.output, save);
  return kExitOk;
}

}  // namespace brumeleaf::cli
