// brumeleaf-cli modify, resize and autocontrast: the source tools of the desktop program on one
// picture. Like convert, the output keeps the input's density and a Ctrl-C writes nothing.

#include <cstdio>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/InterruptStop.h"
#include "cli/Options.h"
#include "history/SourceMean.h"
#include "io/PictureFile.h"
#include "tools/SourceTools.h"

namespace brumeleaf::cli {

namespace {

const Option kLuminosity{"--luminosity", nullptr, "N", true, -100, 100, nullptr, "0",
                         "brightness in percent: below 0 toward black, above toward white"};
const Option kContrast{"--contrast", nullptr, "N", true, -100, 100, nullptr, "0",
                       "below 0 less contrast about middle grey, above 0 local contrast of strength 2N"};
const Option kSaturation{"--saturation", nullptr, "N", true, -100, 100, nullptr, "0", "colour saturation in percent"};
const Option kBlurSharpen{"--blur-sharpen", nullptr, "N", true, -5, 5, nullptr, "0",
                          "below 0 blur passes, above 0 sharpen passes"};
const Option kSimplify{"--simplify", nullptr, "N", true, 0, 9, nullptr, "0",
                       "simplification by a median filter of size N + 2 (0 = none)"};
const Option kWidth{"--width", nullptr, "N", true, 1, kMaxWidth, nullptr, nullptr,
                    "new width in pixels, at most 3 times the picture's width"};
const Option kWidthPercent{"--width-percent", nullptr, "P", true, 1, 300, nullptr, nullptr,
                           "new width in percent of the picture's width"};
const Option kSize{"--size", nullptr, "WxH", false, 0, 0, nullptr, nullptr,
                   "exactly this size, proportions free (no 3-times limit)"};
const Option kHeight{"--height", nullptr, "N", true, 1, kMaxHeight, nullptr, nullptr,
                     "new height in pixels, at most 3 times the picture's height (needs --free-ratio)"};
const Option kHeightPercent{"--height-percent", nullptr, "P", true, 1, 300, nullptr, nullptr,
                            "new height in percent of the picture's height (needs --free-ratio)"};
const Option kFreeRatio{"--free-ratio", nullptr, nullptr, false, 0, 0, nullptr, "the ratio is kept",
                        "do not derive the height from the width; without a height option it stays"};

const Option* const kModifyOptions[] = {&options::kOutput, &kLuminosity, &kContrast,        &kSaturation,
                                        &kBlurSharpen,     &kSimplify,   &options::kQuality};
const Option* const kResizeOptions[] = {&options::kOutput, &kWidth,    &kWidthPercent, &kSize, &kHeight,
                                        &kHeightPercent,   &kFreeRatio, &options::kQuality};
const Option* const kAutoContrastOptions[] = {&options::kOutput, &options::kQuality};

struct Job {
  ParsedOptions parsed;
  std::string input;
  std::string output;
};

Job ReadJob(const Arguments& args, OptionList accepted, const char* command) {
  Job job{ParseOptions(args, accepted), {}, {}};
  if (job.parsed.Positional().size() != 1)
    throw UsageError(std::string(command) + " needs exactly one input picture");
  if (!job.parsed.Has(options::kOutput))
    throw UsageError(std::string(command) + " needs an output file (-o OUTPUT)");
  job.input = job.parsed.Positional()[0];
  job.output = job.parsed.Text(options::kOutput);
  const PictureFormat format = FormatFromExtension(job.output);
  if (format != PictureFormat::Jpeg && format != PictureFormat::Png && format != PictureFormat::Bmp)
    throw UsageError(job.output + ": the output must end in .jpg, .jpeg, .png or .bmp");
  return job;
}

int Stopped(const char* command) {
  std::fprintf(stderr, "brumeleaf-cli: %s was stopped; nothing was written.\n", command);
  return kExitFailed;
}

int Save(const Job& job, const Bitmap& picture, const PictureInfo& info, InterruptStop& interrupt,
         const char* command) {
  if (interrupt.Interrupted()) return Stopped(command);
  SaveOptions save;
  save.jpegQuality = static_cast<int>(job.parsed.IntegerIf(options::kQuality).value_or(95));
  save.dpi = info.dpi;
  save.stop = &interrupt.Flag();
  SavePicture(picture, job.output, save);
  return kExitOk;
}

int Whole(long long value) { return static_cast<int>(value); }

// "WxH" with both sides whole numbers.
std::pair<int, int> ParseSize(const std::string& text) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string::npos) throw UsageError("--size needs WIDTHxHEIGHT, such as 1920x1080, not \"" + text + "\"");
  const long long w = ParseInteger(text.substr(0, x), "--size width");
  const long long h = ParseInteger(text.substr(x + 1), "--size height");
  if (w < 1 || w > kMaxWidth || h < 1 || h > kMaxHeight)
    throw UsageError("--size must lie within 1x1.." + std::to_string(kMaxWidth) + "x" + std::to_string(kMaxHeight));
  return {Whole(w), Whole(h)};
}

// One side from a pixel or percent option, or nullopt when neither was given.
std::optional<int> Side(const ParsedOptions& parsed, const Option& pixels, const Option& percent, int original) {
  if (const auto p = parsed.IntegerIf(pixels)) {
    if (*p > 3LL * original)
      throw UsageError(std::string(pixels.name) + " may be at most 3 times the picture's " +
                       std::to_string(original) + " pixels");
    return Whole(*p);
  }
  if (const auto p = parsed.IntegerIf(percent)) return Whole(static_cast<long long>(original) * *p / 100);
  return std::nullopt;
}

}  // namespace

OptionList ModifyCommandOptions() { return kModifyOptions; }
OptionList ResizeCommandOptions() { return kResizeOptions; }
OptionList AutoContrastCommandOptions() { return kAutoContrastOptions; }

int RunModify(const Arguments& args) {
  InterruptStop interrupt;
  const Job job = ReadJob(args, kModifyOptions, "modify");
  ModifySettings settings;
  settings.luminosity = Whole(job.parsed.IntegerIf(kLuminosity).value_or(0));
  settings.contrast = Whole(job.parsed.IntegerIf(kContrast).value_or(0));
  settings.saturation = Whole(job.parsed.IntegerIf(kSaturation).value_or(0));
  settings.blurSharpen = Whole(job.parsed.IntegerIf(kBlurSharpen).value_or(0));
  settings.simplify = Whole(job.parsed.IntegerIf(kSimplify).value_or(0));
  PictureInfo info;
  Bitmap picture = LoadPicture(job.input, &info);
  Random random(1);
  RunContext ctx(ParameterSnapshot{}, random);
  ctx.SetStopFlag(&interrupt.Flag());
  // The local contrast measures against the whole picture's mean colour.
  if (!ModifySourceImage(picture, settings, ComputeSourceMean(picture), &ctx)) return Stopped("modify");
  return Save(job, picture, info, interrupt, "modify");
}

int RunResize(const Arguments& args) {
  InterruptStop interrupt;
  const Job job = ReadJob(args, kResizeOptions, "resize");
  const ParsedOptions& parsed = job.parsed;
  const int widthOptions = parsed.Has(kWidth) + parsed.Has(kWidthPercent) + parsed.Has(kSize);
  const int heightOptions = parsed.Has(kHeight) + parsed.Has(kHeightPercent);
  if (widthOptions != 1) throw UsageError("resize needs exactly one of --width, --width-percent and --size");
  if (heightOptions > 1) throw UsageError("--height and --height-percent exclude each other");
  if (parsed.Has(kSize) && (heightOptions > 0 || parsed.Has(kFreeRatio)))
    throw UsageError("--size gives both sides: no --height, --height-percent or --free-ratio with it");
  if (heightOptions > 0 && !parsed.Has(kFreeRatio))
    throw UsageError("with the ratio kept the height follows the width: add --free-ratio to give a height");

  PictureInfo info;
  Bitmap picture = LoadPicture(job.input, &info);
  const int w0 = picture.Width();
  const int h0 = picture.Height();
  int width = 0;
  int height = 0;
  if (const auto size = parsed.TextIf(kSize)) {
    std::tie(width, height) = ParseSize(*size);
  } else {
    width = *Side(parsed, kWidth, kWidthPercent, w0);
    height = parsed.Has(kFreeRatio) ? Side(parsed, kHeight, kHeightPercent, h0).value_or(h0)
                                    : KeptRatioSide(width, w0, h0);
  }
  Bitmap none;
  if (ResizeSource(picture, none, width, height) == ResizeOutcome::TooSmall) {
    throw ImageError("the picture would be " + std::to_string(width) + " x " + std::to_string(height) +
                     " pixels; both sides must be at least 2");
  }
  return Save(job, picture, info, interrupt, "resize");
}

int RunAutoContrast(const Arguments& args) {
  InterruptStop interrupt;
  const Job job = ReadJob(args, kAutoContrastOptions, "autocontrast");
  PictureInfo info;
  Bitmap picture = LoadPicture(job.input, &info);
  AutomaticContrast(picture);
  return Save(job, picture, info, interrupt, "autocontrast");
}

}  // namespace brumeleaf::cli
