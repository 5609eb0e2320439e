// The program's icon: every installed size is drawn, stays inside its square with transparent
// corners, keeps a crisp border at 16 px, and the SVG refers only to what it defines.

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <stdexcept>
#include <string>

#include <QColor>

#include "resources/AppIcon.h"

using brumeleaf::AppIconImage;
using brumeleaf::AppIconSvg;

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
  std::set<std::string> defined, used;
  const std::regex id("id=\"([a-z0-9]+)\""), url("url\\(#([a-z0-9]+)\\)");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), id); it != std::sregex_iterator(); ++it)
    defined.insert((*it)[1]);
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), url); it != std::sregex_iterator(); ++it)
    used.insert((*it)[1]);
  EXPECT_FALSE(used.empty());
  EXPECT_EQ(used, defined);
  // Path data holds numbers and commands only (a NaN or a locale's decimal comma would break it).
  const std::regex data(" d=\"([^\"]*)\"");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), data); it != std::sregex_iterator(); ++it)
    EXPECT_TRUE(std::regex_match((*it)[1].str(), std::regex("[MLCZ0-9. -]+"))) << (*it)[1];
}
