// brumeleaf-cli render-all INPUT OUTDIR: every available effect at its default values, one
// picture per effect, named <code>-<entry name>.jpg.

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "cli/ApplyOptions.h"
#include "cli/Commands.h"
#include "cli/EffectRun.h"
#include "cli/InterruptStop.h"
#include "effects/Catalogue.h"
#include "io/PictureFile.h"

namespace brumeleaf::cli {

namespace {

const Option* const kRenderAllOptions[] = {&options::kSeedFromOne, &options::kQuality};

struct RenderAllOptions {
  std::string input;
  std::filesystem::path folder;
  std::uint32_t seed = 1;
  int quality = 95;
};

RenderAllOptions ParseRenderAllArguments(const Arguments& args) {
  const ParsedOptions parsed = ParseOptions(args, kRenderAllOptions);
  if (parsed.Positional().size() != 2) throw UsageError("render-all needs an input picture and a folder");
  RenderAllOptions options;
  options.input = parsed.Positional()[0];
  options.folder = parsed.Positional()[1];
  options.seed = static_cast<std::uint32_t>(parsed.IntegerIf(options::kSeed).value_or(1));
  options.quality = static_cast<int>(parsed.IntegerIf(options::kQuality).value_or(95));
  return options;
}

// Renders one entry in a session of its own, so every effect starts from the same seed;
// false when it failed or was stopped.
bool RenderEntry(const Bitmap& source, const PictureInfo& info, int listIndex,
                 const RenderAllOptions& options, std::atomic<bool>& stop) {
  Session session(options.seed);
  session.Settings().SelectEntry(listIndex);
  session.OpenPicture(source, options.input);
  const int code = session.Settings().CurrentEffect();
  const std::string label = EffectNameForCode(code);
  const std::filesystem::path file =
      options.folder / (std::to_string(code) + "-" + FileNamePart(label) + ".jpg");
  const auto start = std::chrono::steady_clock::now();
  try {
    const std::optional<Bitmap> result = RunSelectedEffect(session, label, stop);
    if (!result) return false;
    SavePicture(*result, file.string(), SaveOptions{options.quality, info.dpi, &stop});
  } catch (const std::exception& e) {
    std::fprintf(stderr, "brumeleaf-cli: %s: %s\n", label.c_str(), e.what());
    return false;
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("%-40s %6.2f s  %s\n", label.c_str(), took.count(), file.string().c_str());
  return true;
}

}  // namespace

OptionList RenderAllCommandOptions() { return kRenderAllOptions; }

int RunRenderAll(const Arguments& args) {
  InterruptStop interrupt;
  const RenderAllOptions options = ParseRenderAllArguments(args);
  PictureInfo info;
  const Bitmap source = LoadPicture(options.input, &info);
  std::filesystem::create_directories(options.folder);
  bool allRendered = true;
  for (const ListEntrySpec& entry : ListEntries()) {
    if (entry.IsHeader() || !FrameForCode(entry.code)) continue;
    if (interrupt.Interrupted()) return kExitFailed;
    allRendered = RenderEntry(source, info, entry.listIndex, options, interrupt.Flag()) && allRendered;
  }
  return allRendered ? kExitOk : kExitFailed;
}

}  // namespace brumeleaf::cli
