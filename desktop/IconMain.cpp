// Writes the program's icons at build time into a hicolor tree:
//   brumeleaf-icons FOLDER NAME SIZE...
// gives FOLDER/hicolor/SIZExSIZE/apps/NAME.png for each size and FOLDER/hicolor/scalable/apps/NAME.svg.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <QString>

#include "resources/AppIcon.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: brumeleaf-icons FOLDER NAME SIZE...\n");
    return 2;
  }
  namespace fs = std::filesystem;
  const fs::path root = fs::path(argv[1]) / "hicolor";
  const std::string name = argv[2];
  for (int i = 3; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    const fs::path folder = root / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
    fs::create_directories(folder);
    const fs::path file = folder / (name + ".png");
    if (size < 1 || !brumeleaf::AppIconImage(size).save(QString::fromStdString(file.string()), "PNG")) {
      std::fprintf(stderr, "brumeleaf-icons: cannot write %s\n", file.c_str());
      return 1;
    }
  }
  const fs::path scalable = root / "scalable" / "apps";
  fs::create_directories(scalable);
  std::ofstream svg(scalable / (name + ".svg"), std::ios::binary);
  svg << brumeleaf::AppIconSvg();
  svg.close();
  if (!svg) {
    std::fprintf(stderr, "brumeleaf-icons: cannot write the SVG icon\n");
    return 1;
  }
  return 0;
}
