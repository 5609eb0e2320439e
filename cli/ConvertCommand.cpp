#include "cli/Commands.h"
#include "cli/InterruptStop.h"
#include "io/PictureFile.h"

namespace brumeleaf::cli {

int RunConvert(const Arguments& args) {
  InterruptStop interrupt;  // Ctrl-C while writing leaves no half file behind
  if (args.size() != 2) throw UsageError("convert needs an input and an output file");
  const PictureFormat out = FormatFromExtension(args[1]);
  // Checked before decoding, so that a mistyped name fails at once.
  if (out != PictureFormat::Jpeg && out != PictureFormat::Png && out != PictureFormat::Bmp)
    throw UsageError(args[1] + ": the output must end in .jpg, .jpeg, .png or .bmp");
  PictureInfo info;
  const Bitmap picture = LoadPicture(args[0], &info);
  SaveOptions options;
  options.jpegQuality = 95;
  options.dpi = info.dpi;
  options.stop = &interrupt.Flag();
  SavePicture(picture, args[1], options);
  return kExitOk;
}

}  // namespace brumeleaf::cli
