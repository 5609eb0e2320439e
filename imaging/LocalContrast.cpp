// 9x9 local contrast. The window contents are those of a padded picture, (W+18) x (H+18),
// white, with the source drawn at (0,0), (9,0), (0,9) and (9,9) in that order: above and left
// of the picture proper the padding repeats the picture's own first rows and columns, right
// of it and below it the padding is white. Only nine padded rows are ever needed at once, so
// they are built on the fly in a ring, and the 81-level sums are kept as running column sums
// slid along the row: the same integers as summing every window afresh, at a fraction of the
// cost.

#include "imaging/Filters.h"

#include <array>
#include <cstring>
#include <vector>

namespace brumeleaf {

namespace {

constexpr int kWindow = 9;
constexpr int kPad = 9;   // offset of the picture proper inside the padded picture
constexpr int kFirst = 5; // first window row / column in padded coordinates

// Builds row `paddedY` of the padded picture.
void BuildPaddedRow(const Bitmap& picture, int paddedY, std::uint8_t* out, std::size_t paddedBytes) {
  std::memset(out, 255, paddedBytes);
  const int width = picture.Width();
  const int height = picture.Height();
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  const std::size_t shift = static_cast<std::size_t>(kPad) * 3;
  // Draw order matters where the copies overlap: the later one wins.
  if (paddedY < height) {
    const std::uint8_t* src = picture.ScanLine(paddedY);
    std::memcpy(out, src, rowBytes);
    std::memcpy(out + shift, src, rowBytes);
  }
  if (paddedY >= kPad && paddedY - kPad < height) {
    const std::uint8_t* src = picture.ScanLine(paddedY - kPad);
    std::memcpy(out, src, rowBytes);
    std::memcpy(out + shift, src, rowBytes);
  }
}

// Output level for every (centre level, local mean) pair of one channel, so that the 64-bit
// arithmetic of the formula costs nothing per pixel.
using ChannelTable = std::vector<std::uint8_t>;

ChannelTable MakeChannelTable(std::int64_t mean, int strength) {
  ChannelTable table(256 * 256);
  for (int c = 0; c < 256; ++c) {
    for (int local = 0; local < 256; ++local) {
      const std::int64_t ref = (2 * static_cast<std::int64_t>(local) + mean) / 3;
      const std::int64_t v = c + (c - ref) * strength / 100;
      table[static_cast<std::size_t>(c * 256 + local)] =
          static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
  }
  return table;
}

}  // namespace

void EnhanceLocalContrast(Bitmap& image, int strength, const SourceMean& mean) {
  const int width = image.Width();
  const int height = image.Height();
  // Rows 0..H-2 and columns 0..W-2 are processed; a picture 1 wide or high has none.
  if (width < 2 || height < 2) return;

  // No copy of the entry picture is needed: padded row Y is built from rows Y and Y-9 before
  // the window row that writes row Y-14, so every row is read before it is written.
  const std::array<ChannelTable, 3> tables = {MakeChannelTable(mean.blue, strength),
                                              MakeChannelTable(mean.green, strength),
                                              MakeChannelTable(mean.red, strength)};
  const std::size_t paddedBytes = static_cast<std::size_t>(width + 2 * kPad) * 3;
  std::vector<std::uint8_t> ring(paddedBytes * kWindow);
  auto ringRow = [&](int paddedY) { return ring.data() + paddedBytes * (paddedY % kWindow); };
  // Nine levels a column sum and 81 a window: at most 20655, so 16 bits hold them and the
  // compiler takes eight or more at a time.
  std::vector<std::uint16_t> columnSums(paddedBytes, 0);
  for (int py = kFirst; py < kFirst + kWindow; ++py) {
    std::uint8_t* row = ringRow(py);
    BuildPaddedRow(image, py, row, paddedBytes);
    for (std::size_t i = 0; i < paddedBytes; ++i) columnSums[i] += row[i];
  }

  const std::size_t first = static_cast<std::size_t>(kFirst) * 3;
  // Output byte j (pixel j div 3, channel j mod 3) of a row: its window sums the column sums
  // first + j, first + j + 3, ..., first + j + 24, and its centre is padded byte first + j + 12.
  const std::size_t outBytes = static_cast<std::size_t>(width - 1) * 3;
  std::vector<std::uint8_t> locals(outBytes);
  for (int r = kFirst; r <= height + 3; ++r) {
    const std::uint8_t* centreRow = ringRow(r + 4) + first + 12;
    std::uint8_t* out = image.ScanLine(r - kFirst);
    // The local means of a whole row first, nine sums a byte side by side (the compiler
    // takes several bytes at a time), then the table look-ups.
    const std::uint16_t* sums = columnSums.data() + first;
    for (std::size_t j = 0; j < outBytes; ++j) {
      const std::uint16_t window = static_cast<std::uint16_t>(sums[j] + sums[j + 3] + sums[j + 6] + sums[j + 9] + sums[j + 12] +
                                                              sums[j + 15] + sums[j + 18] + sums[j + 21] + sums[j + 24]);
      locals[j] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(window - centreRow[j]) / 80);
    }
    for (std::size_t j = 0; j < outBytes; j += 3) {
      for (std::size_t ch = 0; ch < 3; ++ch)
        out[j + ch] = tables[ch][static_cast<std::size_t>(centreRow[j + ch]) * 256 + locals[j + ch]];
    }
    if (r == height + 3) break;
    // Slide the column sums one padded row down.
    std::uint8_t* leaving = ringRow(r);
    for (std::size_t i = 0; i < paddedBytes; ++i) columnSums[i] -= leaving[i];
    BuildPaddedRow(image, r + kWindow, leaving, paddedBytes);
    for (std::size_t i = 0; i < paddedBytes; ++i) columnSums[i] += leaving[i];
  }
}

}  // namespace brumeleaf
