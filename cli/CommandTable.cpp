#include "cli/Commands.h"

namespace brumeleaf::cli {

std::span<const Command> AllCommands() {
  static const Command kCommands[] = {
      {"info", "FILE", "print the picture's name, size and density", RunInfo},
      {"convert", "IN OUT", "decode IN by its extension and save it as OUT (.jpg, .jpeg, .png, .bmp)",
       RunConvert},
      {"effects", "", "list the effects with their sliders, ranges and defaults", RunEffects},
      {"apply", "INPUT -o OUTPUT [OPTIONS]",
       "draw INPUT with one effect and save the result as OUTPUT; options: --effect NAME|CODE, "
       "--values s1,s2,s3,s4,s5, --params FILE.bfp, --soften, --texture 1-10, "
       "--strength light|normal|strong, --seed N, --quality 1-100; Ctrl-C stops and writes nothing",
       RunApply},
      {"render-all", "INPUT OUTDIR [OPTIONS]",
       "draw INPUT with every available effect at its defaults into OUTDIR/<code>-<name>.jpg; "
       "options: --seed N, --quality 1-100",
       RunRenderAll},
  };
  return kCommands;
}

}  // namespace brumeleaf::cli
