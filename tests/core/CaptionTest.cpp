#include "pipeline/Caption.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <cstdlib>

#include "pipeline/Finalize.h"
#include "SyntheticPhoto.h"
#include "TestPictures.h"

namespace brumeleaf {
namespace {

using testing::Flat;
using testing::SyntheticPhoto;

// Text needs a QGuiApplication; the tests run without a display.
// Made on first use and ended by a test environment at the end of main: destroying it among
// the static destructors, after Qt's own, would crash on the way out.
QGuiApplication* textApp = nullptr;

class TextAppEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    delete textApp;
    textApp = nullptr;
  }
};
const ::testing::Environment* const kTextAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new TextAppEnvironment);

void NeedGui() {
  if (qGuiApp) return;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "brumeleaf_core_tests";
  static char* argv[] = {name, nullptr};
  textApp = new QGuiApplication(argc, argv);
}

int Changed(const Bitmap& a, const Bitmap& b) {
  int n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) n += a.Pixel(x, y) != b.Pixel(x, y);
  return n;
}

TEST(CaptionPlacement, AnchorsKeepClearOfTheEdgesAndTheFrame) {
  const TextSize text{60, 16};
  const CaptionPoint none{5, 6};
  EXPECT_EQ(SetPos(9, 400, 300, 0, 0, text, 60, none), (CaptionPoint{337, 287}));
  EXPECT_EQ(CaptionOrigin(SetPos(9, 400, 300, 0, 0, text, 60, none)), (CaptionPoint{336, 282}));
  EXPECT_EQ(SetPos(1, 400, 300, 0, 0, text, 60, none), (CaptionPoint{3, 3}));
  EXPECT_EQ(SetPos(2, 400, 300, 0, 0, text, 60, none), (CaptionPoint{170, 3}));
  EXPECT_EQ(SetPos(3, 400, 300, 0, 0, text, 64, none), (CaptionPoint{333, 3}));  // right anchors' width
  EXPECT_EQ(SetPos(4, 400, 300, 0, 0, text, 60, none), (CaptionPoint{3, 142}));
  EXPECT_EQ(SetPos(5, 401, 301, 0, 0, text, 60, none), (CaptionPoint{170, 142}));
  EXPECT_EQ(SetPos(6, 400, 300, 0, 0, text, 60, none), (CaptionPoint{337, 142}));
  EXPECT_EQ(SetPos(8, 400, 300, 0, 0, text, 60, none), (CaptionPoint{170, 287}));
  EXPECT_EQ(SetPos(0, 400, 300, 0, 0, text, 60, none), none);
  // Framed 400 x 300 with margin 150: bottom left sits inside the margin.
  EXPECT_EQ(SetPos(7, 550, 450, 75, 75, text, 60, none), (CaptionPoint{78, 450 - 75 - 16 + 3}));
  EXPECT_EQ(SetPos(3, 550, 450, 75, 75, text, 60, none), (CaptionPoint{550 - 75 - 3 - 60, 78}));
}

TEST(CaptionPlacement, PositionsAreLimitedToTheirRanges) {
  const TextSize text{60, 16};
  const CaptionRange r = CaptionRanges(text, 400, 300);
  EXPECT_EQ(r.minX, -90);
  EXPECT_EQ(r.minY, -24);
  EXPECT_EQ(r.maxX, 400);
  EXPECT_EQ(r.maxY, 300);
  EXPECT_EQ(SetPos(0, 400, 300, 0, 0, text, 60, {2000000000, -2000000000}), (CaptionPoint{400, -24}));
  // A text wider than the picture: the right anchor goes left, but never past its range.
  EXPECT_EQ(SetPos(9, 50, 20, 0, 0, {200, 16}, 200, {}), (CaptionPoint{-153, 7}));
  EXPECT_EQ(SetPos(9, 10, 10, 0, 0, {2000, 16}, 2000, {}).x, -1993);
  EXPECT_EQ(SetPos(9, 10, 10, 0, 0, {100, 16}, 400, {}).x, -150);
  EXPECT_EQ(CaptionPixelSize(12), 16);
  EXPECT_EQ(CaptionPixelSize(24), 32);
  EXPECT_EQ(CaptionPixelSize(9), 12);
}

TEST(CaptionDrawing, TextShadowAndSmoothingLandAtTheAnchor) {
  NeedGui();
  CaptionOptions o;
  o.text = "Brumeleaf";
  o.fontSize = 16;
  o.colour = static_cast<int>(MakeColour(255, 255, 255));
  const Bitmap photo = Flat(201, 121, 128);
  Bitmap drawn = photo;
  EXPECT_EQ(DrawCaption(drawn, o, 0, 0), "");
  const TextSize size = MeasureCaptionText(o, o.text);
  const CaptionPoint p = CaptionPosition(drawn, o, 0, 0);
  EXPECT_EQ(p, SetPos(9, 201, 121, 0, 0, size, size.width, {}));
  ASSERT_GT(Changed(photo, drawn), 20);
  // Nothing changes left of or above the caption's box.
  const CaptionPoint origin = CaptionOrigin(p);
  bool white = false, black = false, between = false;
  for (int y = 0; y < drawn.Height(); ++y) {
    for (int x = 0; x < drawn.Width(); ++x) {
      const Colour c = drawn.Pixel(x, y);
      if (x < origin.x || y < origin.y) {
        ASSERT_EQ(c, photo.Pixel(x, y)) << x << "," << y;
      }
      white |= c == kWhite;
      black |= c == kBlack;
      between |= c != kWhite && c != kBlack && c != photo.Pixel(x, y);
    }
  }
  EXPECT_TRUE(white);
  EXPECT_TRUE(black);    // the shadow
  EXPECT_TRUE(between);  // smoothed edges
  // Without the shadow no pixel turns black.
  o.shadow = false;
  Bitmap plain = photo;
  DrawCaption(plain, o, 0, 0);
  for (int y = 0; y < plain.Height(); ++y)
    for (int x = 0; x < plain.Width(); ++x) ASSERT_NE(plain.Pixel(x, y), kBlack);
  // The colour is packed red low: red text gives red pixels.
  o.colour = static_cast<int>(MakeColour(255, 0, 0));
  o.fontSize = 30;
  Bitmap red = Flat(300, 80, 0);
  DrawCaption(red, o, 0, 0);
  bool redFound = false;
  for (int y = 0; y < red.Height(); ++y)
    for (int x = 0; x < red.Width(); ++x) redFound |= red.Pixel(x, y) == MakeColour(255, 0, 0);
  EXPECT_TRUE(redFound);
}

TEST(CaptionDrawing, FarPositionsHugeFontsAndEmptyTextsStayInsideThePicture) {
  NeedGui();
  const Bitmap photo = SyntheticPhoto(61, 37);
  CaptionOptions o;
  o.position = 0;
  for (auto [x, y] : {std::pair{-100000, -5}, {100000, 100000}, {59, 35}, {0, 0}}) {
    o.x = x;
    o.y = y;
    Bitmap b = photo;
    EXPECT_NO_THROW(DrawCaption(b, o, 0, 0));
  }
  Bitmap b = photo;
  WriteAntiAlias(b, -5000, -5000, "far away", o, kWhite);
  WriteAntiAlias(b, 61, 37, "far away", o, kWhite);
  EXPECT_EQ(b, photo);
  // A very large font on a long text: only the part over the picture is processed.
  o.fontSize = 2000;
  o.text = std::string(200, 'W');
  o.position = 5;
  b = photo;
  EXPECT_NO_THROW(DrawCaption(b, o, 0, 0));
  // An empty text still draws (a space) without harm; one-pixel pictures take a caption.
  o = CaptionOptions{};
  o.text = "";
  Bitmap tiny = Flat(1, 1, 50);
  EXPECT_NO_THROW(DrawCaption(tiny, o, 0, 0));
  EXPECT_NE(MissingFontNotice("No Such Font Family 12345"), "");
}

TEST(CaptionDrawing, TheLivePatchShowsExactlyWhatStampingWrites) {
  NeedGui();
  const Bitmap photo = SyntheticPhoto(151, 97);
  for (int position : {1, 5, 9, 0}) {
    CaptionOptions o;
    o.text = "Live";
    o.position = position;
    o.x = 140;  // user defined: runs off the right edge
    o.y = 90;
    Bitmap stamped = photo;
    DrawCaption(stamped, o, 0, 0);
    const CaptionPatch patch = MakeCaptionPatch(photo, o, 0, 0);
    ASSERT_FALSE(patch.pixels.Empty()) << position;
    Bitmap shown = photo;
    shown.Draw(patch.x, patch.y, patch.pixels);
    EXPECT_EQ(shown, stamped) << position;
  }
}

TEST(CaptionDrawing, FinalizeWritesTheCaptionInsideTheFrame) {
  NeedGui();
  Random random(1);
  ParameterSnapshot params;
  params.addFrame = true;
  params.addText = true;
  RunContext ctx(params, random);
  FinishingOptions finishing;
  finishing.frame.fillColour = 0;
  finishing.caption.position = 7;  // bottom left
  finishing.caption.shadow = false;
  const Bitmap source = Flat(400, 300, 90);
  Bitmap result = source;
  Finalize(source, result, ctx, StandardFinishingSteps(finishing));
  ASSERT_EQ(result.Width(), 550);
  // Inside the frame's opening, near its bottom-left corner, and nowhere in the left margin.
  int inside = 0;
  for (int y = 300; y < 375; ++y) {
    for (int x = 0; x < 75; ++x) ASSERT_EQ(result.Pixel(x, y), kBlack);
    for (int x = 77; x < 200; ++x) inside += result.Pixel(x, y) != MakeColour(90, 90, 90);
  }
  EXPECT_GT(inside, 20);
}

}  // namespace
}  // namespace brumeleaf
