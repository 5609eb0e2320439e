#include "io/JfifDensity.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <vector>

#include "io/PictureFile.h"

namespace brumeleaf {
namespace {

constexpr std::size_t kSearchBytes = 50;
constexpr std::size_t kUnitsOffset = 7;
constexpr std::size_t kDensityOffset = 8;
// Units byte plus two 16-bit densities.
constexpr std::size_t kFieldsEnd = kDensityOffset + 4;

// Offset of "JFIF\0" within the first 50 bytes.
std::optional<std::size_t> FindJfif(std::span<const std::uint8_t> bytes) {
  static constexpr std::uint8_t kTag[5] = {'J', 'F', 'I', 'F', 0};
  const std::size_t window = std::min(bytes.size(), kSearchBytes);
  for (std::size_t o = 0; o + sizeof kTag <= window; ++o) {
    if (std::memcmp(bytes.data() + o, kTag, sizeof kTag) == 0) return o;
  }
  return std::nullopt;
}

}  // namespace

int ReadJfifDensity(std::span<const std::uint8_t> bytes) {
  const auto o = FindJfif(bytes);
  // A tag so close to the end that the density bytes are missing counts as no header, rather
  // than reading past the bytes there are.
  if (!o || *o + kDensityOffset + 2 > bytes.size()) return kDefaultDensity;
  int x = bytes[*o + kDensityOffset] * 256 + bytes[*o + kDensityOffset + 1];
  if (x < 72) x = kDefaultDensity;
  return std::min(std::max(x, 72), 2400);
}

bool WriteJfifDensity(std::span<std::uint8_t> bytes, int dpi) {
  if (dpi < 1 || dpi > 65535) return false;
  const auto o = FindJfif(bytes);
  if (!o || *o + kFieldsEnd > bytes.size()) return false;
  std::uint8_t* p = bytes.data() + *o;
  p[kUnitsOffset] = 1;
  for (std::size_t i = 0; i < 2; ++i) {
    p[kDensityOffset + 2 * i] = static_cast<std::uint8_t>(dpi >> 8);
    p[kDensityOffset + 2 * i + 1] = static_cast<std::uint8_t>(dpi & 0xFF);
  }
  return true;
}

int ReadJpegDensity(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(path + ": cannot open the file (" + std::strerror(errno) + ")");
  std::vector<std::uint8_t> head(kSearchBytes + kFieldsEnd);
  in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  return ReadJfifDensity(head);
}

void WriteJpegDensity(const std::string& path, int dpi) {
  if (dpi < 1 || dpi > 65535)
    throw FileError(path + ": the density " + std::to_string(dpi) + " dpi cannot be stored");
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  if (!file) throw FileError(path + ": cannot open the file (" + std::strerror(errno) + ")");
  std::vector<std::uint8_t> head(kSearchBytes + kFieldsEnd);
  file.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(file.gcount()));
  if (!WriteJfifDensity(head, dpi)) return;
  file.clear();
  file.seekp(0);
  file.write(reinterpret_cast<const char*>(head.data()), static_cast<std::streamsize>(head.size()));
  if (!file.flush()) throw FileError(path + ": cannot write the density into the file");
}

}  // namespace brumeleaf
