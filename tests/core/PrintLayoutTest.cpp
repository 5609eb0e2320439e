// Where a picture lands on the printed page, and printing through a PDF file.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "output/PrintLayout.h"
#include "output/PrintPage.h"
#include "tests/core/TestPictures.h"

using namespace brumeleaf;
using brumeleaf::testing::ScratchFolder;

namespace {

const PrinterPage kA4Portrait600{4961, 7016, 600, 600};
const PrinterPage kA4Landscape600{7016, 4961, 600, 600};

bool Inside(const PrintRect& r, const PrinterPage& page) {
  return r.left >= 0 && r.top >= 0 && r.left + r.width <= page.width && r.top + r.height <= page.height;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(PrintLayout, OrientationDensityFactorsAndTypedScales) {
  EXPECT_EQ(OrientationFor(301, 300), PageOrientation::Landscape);
  EXPECT_EQ(OrientationFor(300, 300), PageOrientation::Portrait);
  EXPECT_EQ(OrientationFor(200, 300), PageOrientation::Portrait);

  EXPECT_EQ(DensityFactor(600, 96), 6);  // not 6.25
  EXPECT_EQ(DensityFactor(72, 96), 1);   // a coarser printer never gives 0
  EXPECT_EQ(DensityFactor(600, 0), 1);
  EXPECT_EQ(DensityFactor(0, 96), 1);

  EXPECT_EQ(ParseScale("150"), 150);
  EXPECT_EQ(ParseScale("150%"), 150);
  EXPECT_EQ(ParseScale(" 150 % "), 150);
  EXPECT_EQ(ParseScale("3"), 5);
  EXPECT_EQ(ParseScale("-40"), 5);
  EXPECT_EQ(ParseScale("99999999999999"), 1000);
  EXPECT_FALSE(ParseScale("").has_value());
  EXPECT_FALSE(ParseScale("%").has_value());
  EXPECT_FALSE(ParseScale("1e3").has_value());
  EXPECT_FALSE(ParseScale("abc").has_value());
  EXPECT_EQ(ScaleText(150), "150%");
}

TEST(PrintLayout, PreviewPageKeepsThePagesShape) {
  // P = 7016 x 100 div 4961 = 141.
  const PreviewPage portrait = PreviewPageSize(kA4Portrait600, PageOrientation::Portrait);
  EXPECT_EQ(portrait.width, 130);
  EXPECT_EQ(portrait.height, 183);
  // P = 4961 x 100 div 7016 = 70; 13000 div 70 = 185.
  const PreviewPage landscape = PreviewPageSize(kA4Landscape600, PageOrientation::Landscape);
  EXPECT_EQ(landscape.width, 185);
  EXPECT_EQ(landscape.height, 130);
  const PreviewRect placed = PreviewPagePlace(portrait, 500, 300);
  EXPECT_EQ(placed.left, 180 + (320 - 130) / 2);
  EXPECT_EQ(placed.top, (300 - 183) / 2);
}

TEST(PrintLayout, CentredPictureAtTheScreenSizeTimesTheFactorAndTheNinetyFourPercentStep) {
  const PreviewPage preview = PreviewPageSize(kA4Portrait600, PageOrientation::Portrait);
  const PrintRect r = LayoutPrint(300, 200, kA4Portrait600, 96, PrintPlacement{}, preview);
  EXPECT_EQ(r.kx, 6);
  EXPECT_EQ(r.width, 1800 * 94 / 100);
  EXPECT_EQ(r.height, 1200 * 94 / 100);
  EXPECT_EQ(r.left, (4961 - 1692) / 2);
  EXPECT_EQ(r.top, (7016 - 1128) / 2);
  EXPECT_FALSE(r.offPage);

  // The scale truncates first, then the 94 % step: 33 x 7 div 100 = 2, 2 x 94 div 100 = 1
  // (one combined step would give 2).
  const PrinterPage screenLike{1000, 1000, 96, 96};
  const PrintRect small = LayoutPrint(33, 33, screenLike, 96, PrintPlacement{7, 0, 0}, {130, 130});
  EXPECT_EQ(small.width, 1);
  EXPECT_EQ(small.height, 1);
}

TEST(PrintLayout, OffsetsMoveByPreviewPixelsAndTruncateTowardZero) {
  const PreviewPage preview{130, 183};
  const PrintRect centred = LayoutPrint(300, 200, kA4Portrait600, 96, PrintPlacement{100, 0, 0}, preview);
  const PrintRect moved = LayoutPrint(300, 200, kA4Portrait600, 96, PrintPlacement{100, 10, -10}, preview);
  // ox = 10 x 496100 div 130 = 38161 -> 381; oy = -10 x 701600 div 183 = -38338 -> -383.
  EXPECT_EQ(moved.left - centred.left, 381);
  EXPECT_EQ(moved.top - centred.top, -383);
  // Offsets beyond 200 are held at 200.
  const PrintRect far = LayoutPrint(300, 200, kA4Portrait600, 96, PrintPlacement{100, 900, 0}, preview);
  const PrintRect at200 = LayoutPrint(300, 200, kA4Portrait600, 96, PrintPlacement{100, 200, 0}, preview);
  EXPECT_EQ(far.left, at200.left);
  EXPECT_TRUE(at200.offPage);  // 200 preview pixels is beyond a 130-pixel page
  EXPECT_FALSE(moved.offPage);
}

TEST(PrintLayout, FullPageFitsBothSidesInBothOrientations) {
  for (const PrinterPage& page : {kA4Portrait600, kA4Landscape600}) {
    for (auto [w, h] : {std::pair{300, 200}, {200, 300}, {500, 499}, {499, 500}, {700, 700}, {4000, 30}, {30, 4000}}) {
      SCOPED_TRACE(std::to_string(page.width) + " " + std::to_string(w) + "x" + std::to_string(h));
      const int scale = FullPageScale(w, h, page, 96);
      const PrintRect r = LayoutPrint(w, h, page, 96, PrintPlacement{scale, 0, 0}, {130, 130});
      EXPECT_TRUE(Inside(r, page));
    }
  }
  // A near-square picture on a portrait page is limited by the page's width, not its height.
  EXPECT_EQ(FullPageScale(500, 501, kA4Portrait600, 96), 496100 / (500 * 6) - 5);
  // The scale stays in 5..1000.
  EXPECT_EQ(FullPageScale(2, 2, kA4Portrait600, 96), 1000);
  EXPECT_EQ(FullPageScale(32768, 15001, kA4Portrait600, 96), 5);
}

TEST(PrintLayout, NoPrinterGivesAnA4PageAndLargeProductsDoNotOverflow) {
  bool usedDefault = false;
  const PrinterPage page = UsablePage(PrinterPage{}, PageOrientation::Landscape, &usedDefault);
  EXPECT_TRUE(usedDefault);
  EXPECT_EQ(page.width, 7016);
  EXPECT_EQ(page.height, 4961);
  EXPECT_GT(FullPageScale(300, 200, PrinterPage{}, 96), 5);
  const PrintRect r = LayoutPrint(300, 200, PrinterPage{}, 96, PrintPlacement{}, PreviewPageSize({}, PageOrientation::Portrait));
  EXPECT_GT(r.width, 0);

  // 32768 x 25 x 1000 x 94 is beyond 32 bits.
  const PrinterPage fine{20000, 20000, 2400, 2400};
  const PrintRect big = LayoutPrint(32768, 15001, fine, 96, PrintPlacement{1000, 0, 0}, {130, 130});
  EXPECT_EQ(big.kx, 25);
  EXPECT_EQ(big.width, 7700480);
  EXPECT_EQ(big.height, 15001LL * 25 * 1000 / 100 * 94 / 100);
}

TEST(PrintToPdf, WritesOnePageAndReportsAFileItCannotWrite) {
  ScratchFolder dir("print-pdf");
  Bitmap picture = brumeleaf::testing::Quadrants(301, 200);
  PrintRequest request;
  request.orientation = OrientationFor(picture.Width(), picture.Height());
  request.fullPage = true;
  const std::string path = dir.File("page.pdf");
  const PrintOutcome outcome = PrintToPdf(picture, path, request);
  ASSERT_TRUE(outcome.printed) << outcome.message;
  EXPECT_EQ(outcome.page.dpiX, 600);
  EXPECT_GT(outcome.page.width, outcome.page.height);  // landscape
  EXPECT_TRUE(Inside(outcome.rect, outcome.page));
  const std::string pdf = Slurp(path);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("/Type /Page"), std::string::npos);

  const PrintOutcome failed = PrintToPdf(picture, dir.File("no/such/folder/page.pdf"), request);
  EXPECT_FALSE(failed.printed);
  EXPECT_FALSE(failed.message.empty());
  EXPECT_FALSE(PrintToPdf(Bitmap(), dir.File("empty.pdf"), request).printed);
}

TEST(PrintToPdf, TheCommandLineWritesAPdfAndRefusesBadScales) {
  ScratchFolder dir("print-cli");
  const std::string cli = std::string("'") + BRUMELEAF_CLI + "' print '" + BRUMELEAF_SAMPLE + "' ";
  const std::string out = dir.File("out.pdf");
  const std::string quiet = " >/dev/null 2>&1";
  int status = std::system((cli + "--pdf '" + out + "' --scale 150% --landscape" + quiet).c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Slurp(out).substr(0, 5), "%PDF-");
  status = std::system((cli + "--pdf '" + out + "' --scale many" + quiet).c_str());
  EXPECT_EQ(WEXITSTATUS(status), 2);
  status = std::system((cli + "--pdf '" + out + "' --scale 50 --full-page" + quiet).c_str());
  EXPECT_EQ(WEXITSTATUS(status), 2);
}
