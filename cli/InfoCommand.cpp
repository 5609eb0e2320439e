#include <cstdio>
#include <filesystem>

#include "cli/Commands.h"
#include "io/PictureFile.h"
#include "io/TitleLine.h"

namespace brumeleaf::cli {

int RunInfo(const Arguments& args) {
  if (args.size() != 1) throw UsageError("info needs exactly one picture file");
  PictureInfo info;
  const Bitmap picture = LoadPicture(args[0], &info);
  const std::string name = std::filesystem::path(args[0]).filename().string();
  std::printf("%s\n", TitleLine(name, picture.Width(), picture.Height(), info.dpi).c_str());
  return kExitOk;
}

}  // namespace brumeleaf::cli
