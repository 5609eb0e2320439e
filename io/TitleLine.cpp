#include "io/TitleLine.h"

namespace brumeleaf {

std::string TitleLine(const std::string& name, int width, int height, int dpi) {
  return name + " - " + std::to_string(width) + "x" + std::to_string(height) + " - " +
         std::to_string(dpi) + " dpi";
}

}  // namespace brumeleaf
