// The program's icon: every installed size is drawn, stays inside its square with transparent
// corners, keeps a crisp border at 16 px, and the SVG refers only to what it defines.

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <QColor>

#include "resources/AppIcon.h"

using brumeleaf::AppIconImage;
using brumeleaf::AppIconSvg;

namespace {

// The texts between each `open` and the next `close` in `text`.
std::vector<std::string> Quoted(const std::string& text, const std::string& open, char close) {
  std::vector<std::string> found;
  for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + 1)) {
    const std::size_t start = at + open.size();
    found.push_back(text.substr(start, text.find(close, start) - start));
  }
  return found;
}

}  // namespace

TEST(AppIcon, EverySizeIsATileWithTransparentCornersAndAGreenLeaf) {
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QImage icon = AppIconImage(size);
    ASSERT_EQ(icon.size(), QSize(size, size));
    for (QPoint corner : {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1), QPoint(size - 1, size - 1)})
      EXPECT_EQ(qAlpha(icon.pixel(corner)), 0) << size << " px at " << corner.x() << "," << corner.y();
    // The tile is opaque inside, and the painted half of the leaf, left of the centre, is green.
    EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 8 + 1)), 255) << size;
    const QColor painted = icon.pixelColor(size * 100 / 256, size * 120 / 256);
    EXPECT_GT(painted.green(), painted.red() + 30) << size;
    EXPECT_GT(painted.green(), painted.blue() + 30) << size;
    EXPECT_EQ(painted.alpha(), 255);
  }
  EXPECT_THROW(AppIconImage(0), std::invalid_argument);
  EXPECT_THROW(AppIconImage(1025), std::invalid_argument);
}

TEST(AppIcon, SmallIconsKeepTheirBorderOnWholePixels) {
  // At 16 px the tile fills the square and its border is the outermost pixel row, fully
  // opaque, not a half-covered smear over two rows.
  const QImage icon = AppIconImage(16);
  for (int i = 5; i <= 10; ++i) {
    EXPECT_EQ(qAlpha(icon.pixel(i, 0)), 255) << i;
    EXPECT_EQ(qAlpha(icon.pixel(0, i)), 255) << i;
    EXPECT_EQ(qAlpha(icon.pixel(15, i)), 255) << i;
    EXPECT_EQ(qAlpha(icon.pixel(i, 15)), 255) << i;
  }
}

TEST(AppIcon, SvgIsSelfContained) {
  const std::string svg = AppIconSvg();
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("viewBox=\"0 0 256 256\""), std::string::npos);
  // Every reference (url(#...)) names something defined (id="..."), and nothing is defined unused.
  const std::vector<std::string> defined = Quoted(svg, "id=\"", '"'), used = Quoted(svg, "url(#", ')');
  EXPECT_FALSE(used.empty());
  EXPECT_EQ(std::set<std::string>(used.begin(), used.end()), std::set<std::string>(defined.begin(), defined.end()));
  // Path data holds numbers and commands only (a NaN or a locale's decimal comma would break it).
  for (const std::string& data : Quoted(svg, " d=\"", '"')) {
    EXPECT_FALSE(data.empty());
    EXPECT_EQ(data.find_first_not_of("MLCZ0123456789. -"), std::string::npos) << data;
  }
}
