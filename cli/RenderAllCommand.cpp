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
#include "effects/Frames.h"
#include "io/PictureFile.h"

namespace brumeleaf::cli {

namespace {

struct RenderAllOptions {
  std::string input;
  std::filesystem::path folder;
  std::uint32_t seed = 1;
  int quality = 95;
};

RenderAllOptions ParseRenderAllArguments(const Arguments& args) {
  RenderAllOptions options;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--seed" && hasValue) {
      options.seed = ParseSeed(args[++i]);
    } else if (a == "--quality" && hasValue) {
      options.quality = ParseQuality(args[++i]);
    } else if (a.size() > 1 && a[0] == '-') {
      throw UsageError("unknown option or missing value: " + a);
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) throw UsageError("render-all needs an input picture and a folder");
  options.input = positional[0];
  options.folder = positional[1];
  return options;
}

// Renders one entry; false when it failed or was stopped.
bool RenderEntry(const Bitmap& source, const PictureInfo& info, int listIndex,
                 const RenderAllOptions& options, std::atomic<bool>& stop) {
  ParameterModel model;
  model.SelectEntry(listIndex);
  EffectRunRequest request;
  request.code = model.CurrentEffect();
  request.params = model.Snapshot();
  request.seed = options.seed;
  request.label = EffectNameForCode(request.code);
  const std::filesystem::path file =
      options.folder / (std::to_string(request.code) + "-" + FileNamePart(request.label) + ".jpg");
  const auto start = std::chrono::steady_clock::now();
  try {
    const std::optional<Bitmap> result = RunEffectOnPicture(source, request, stop);
    if (!result) return false;
    SavePicture(*result, file.string(), SaveOptions{options.quality, info.dpi});
  } catch (const std::exception& e) {
    std::fprintf(stderr, "brumeleaf-cli: %s: %s\n", request.label.c_str(), e.what());
    return false;
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("%-40s %6.2f s  %s\n", request.label.c_str(), took.count(), file.string().c_str());
  return true;
}

}  // namespace

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
