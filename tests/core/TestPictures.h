#pragma once
// Small synthetic pictures and scratch folders shared by the tests.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "imaging/Bitmap.h"
#include "imaging/Random.h"

namespace brumeleaf::testing {

// Four flat quadrants (red, green, blue, yellow from the top-left, clockwise), large enough
// that JPEG keeps each quadrant's colour within a few levels away from the borders.
inline Bitmap Quadrants(int width, int height) {
  Bitmap b(width, height);
  b.FillRect(0, 0, width / 2, height / 2, MakeColour(220, 30, 30));
  b.FillRect(width / 2, 0, width, height / 2, MakeColour(30, 200, 40));
  b.FillRect(width / 2, height / 2, width, height, MakeColour(30, 40, 210));
  b.FillRect(0, height / 2, width / 2, height, MakeColour(230, 220, 30));
  return b;
}

// Every pixel the same grey level.
inline Bitmap Flat(int width, int height, int level) {
  Bitmap b(width, height);
  b.Fill(MakeColour(level, level, level));
  return b;
}

// Every pixel different, for formats that must keep pixels exactly.
inline Bitmap Gradient(int width, int height) {
  Bitmap b(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b.SetPixel(x, y, MakeColour((x * 7) & 255, (y * 13) & 255, (x + y) & 255));
  return b;
}

// Photo-like enough for the filters: every level occurs and neighbours differ; the same seed
// always gives the same picture.
inline Bitmap Noise(int width, int height, std::uint32_t seed) {
  Random random(seed);
  Bitmap b(width, height);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    for (int i = 0; i < width * 3; ++i) row[i] = static_cast<std::uint8_t>(random.Next(256));
  }
  return b;
}

inline bool Near(Colour a, Colour b, int tolerance) {
  return std::abs(RedOf(a) - RedOf(b)) <= tolerance && std::abs(GreenOf(a) - GreenOf(b)) <= tolerance &&
         std::abs(BlueOf(a) - BlueOf(b)) <= tolerance;
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name)
      : path_(std::filesystem::temp_directory_path() / ("brumeleaf-test-" + name + "-" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // Names of everything in the folder, to prove that a failure left nothing behind.
  int Entries() const {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(path_)) ++n;
    return n;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace brumeleaf::testing
