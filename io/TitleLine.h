#pragma once
// The line that names the current picture: "beach.jpg - 1600x1200 - 300 dpi".

#include <string>

namespace brumeleaf {

std::string TitleLine(const std::string& name, int width, int height, int dpi);

}  // namespace brumeleaf
