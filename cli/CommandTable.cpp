#include "cli/Commands.h"

namespace brumeleaf::cli {

std::span<const Command> AllCommands() {
  static const Command kCommands[] = {
      {"info", "FILE", "print the picture's name, size and density", RunInfo},
      {"convert", "IN OUT", "decode IN by its extension and save it as OUT (.jpg, .jpeg, .png, .bmp)",
       RunConvert},
  };
  return kCommands;
}

}  // namespace brumeleaf::cli
