#include <gtest/gtest.h>

#include <climits>

#include "app/ResizeBox.h"

using brumeleaf::view::DigitsValue;
using brumeleaf::view::IsNumber;
using brumeleaf::view::ResizeBox;
using Kind = ResizeBox::Decision::Kind;

namespace {

ResizeBox Opened(int w0, int h0) {
  ResizeBox box;
  box.Activate(w0, h0);
  return box;
}

}  // namespace

TEST(ResizeBox, ActivationShowsTheSourceSizeWithTheRatioKept) {
  const ResizeBox box = Opened(12000, 800);
  EXPECT_EQ(box.WidthText(), "12000");
  EXPECT_EQ(box.HeightText(), "800");
  EXPECT_EQ(box.WidthPercentText(), "100");
  EXPECT_EQ(box.WidthScroll(), 10000);  // the bar stops at its end, the box keeps the text
  EXPECT_TRUE(box.KeepRatio());
  EXPECT_FALSE(box.DesktopSize());
  const ResizeBox::Decision d = box.Ok();
  EXPECT_EQ(d.kind, Kind::Resize);
  EXPECT_EQ(d.width, 12000);
  EXPECT_EQ(d.height, 800);
}

TEST(ResizeBox, PercentAndPixelBoxesFollowTheLossyRatioRule) {
  ResizeBox box = Opened(1000, 800);
  box.WidthPercentKeyUp("250");
  EXPECT_EQ(box.WidthText(), "2500");
  EXPECT_EQ(box.HeightText(), "2000");
  EXPECT_EQ(box.HeightPercentText(), "250");
  EXPECT_EQ(box.HeightScroll(), 2000);

  box = Opened(1000, 333);
  box.WidthKeyUp("500");
  EXPECT_EQ(box.HeightText(), "166");  // ((500 * 1000) div 1000) * 333 div 1000
  EXPECT_EQ(box.WidthPercentText(), "50");
  box.HeightKeyUp("100");
  EXPECT_EQ(box.WidthText(), "300");   // ((100 * 1000) div 333) * 1000 div 1000
  EXPECT_EQ(box.HeightPercentText(), "30");
  EXPECT_EQ(box.WidthPercentText(), "30");

  box = Opened(1000, 750);
  box.WidthKeyUp("5000");
  EXPECT_EQ(box.WidthText(), "3000");
  EXPECT_EQ(box.WidthPercentText(), "300");
  EXPECT_EQ(box.HeightText(), "2250");
  box.HeightPercentKeyUp("999");
  EXPECT_EQ(box.HeightPercentText(), "300");
  EXPECT_EQ(box.HeightText(), "2250");
  EXPECT_EQ(box.WidthText(), "3000");
}

TEST(ResizeBox, ThreeTimesTheSourceMayPassTheScrollBar) {
  ResizeBox box = Opened(4000, 3000);
  box.WidthKeyUp("12000");
  EXPECT_EQ(box.WidthText(), "12000");
  EXPECT_EQ(box.WidthScroll(), 10000);
  EXPECT_EQ(box.HeightText(), "9000");
  EXPECT_EQ(box.Ok().width, 12000);
  // 3 x 12000 is beyond the widest picture: OK refuses instead of resizing.
  box = Opened(12000, 6000);
  box.WidthKeyUp("36000");
  EXPECT_EQ(box.WidthText(), "36000");
  EXPECT_EQ(box.Ok().kind, Kind::TooLarge);
}

TEST(ResizeBox, NonDigitsAndEmptyBoxesReset) {
  ResizeBox box = Opened(1000, 800);
  box.WidthKeyUp("400");
  box.WidthKeyUp("12a");
  EXPECT_EQ(box.WidthText(), "1000");
  EXPECT_EQ(box.WidthPercentText(), "100");
  EXPECT_EQ(box.HeightText(), "800");
  box.WidthPercentKeyUp("-5");
  EXPECT_EQ(box.WidthText(), "1000");
  EXPECT_EQ(box.WidthPercentText(), "100");
  box.WidthKeyUp("");
  EXPECT_EQ(box.WidthText(), "0");
  EXPECT_EQ(box.WidthScroll(), 1);
  EXPECT_EQ(box.Ok().kind, Kind::TooSmall);
  // "0" percent: the bar clamps to 1 and the width box shows it.
  box.WidthPercentKeyUp("0");
  EXPECT_EQ(box.WidthText(), "1");
  EXPECT_EQ(box.WidthPercentText(), "0");
  EXPECT_EQ(box.Ok().kind, Kind::TooSmall);
}

TEST(ResizeBox, LongDigitStringsSaturateInsteadOfOverflowing) {
  EXPECT_TRUE(IsNumber(""));
  EXPECT_FALSE(IsNumber("1 2"));
  EXPECT_EQ(DigitsValue("99999999999999999999999"), INT_MAX);
  EXPECT_EQ(DigitsValue("2147483648"), INT_MAX);
  EXPECT_EQ(DigitsValue("0042"), 42);
  ResizeBox box = Opened(1000, 750);
  box.WidthKeyUp("99999999999999999999999");
  EXPECT_EQ(box.WidthText(), "3000");
  EXPECT_EQ(box.HeightText(), "2250");
  box.HeightPercentKeyUp("4294967396");  // 2^32 + 100 must not wrap to 100
  EXPECT_EQ(box.HeightPercentText(), "300");
  box.SetKeepRatio(false);
  box.HeightKeyUp("99999999999999");
  EXPECT_EQ(box.HeightText(), "2250");
}

TEST(ResizeBox, DesktopSizeUnticksTheRatioAndSkipsTheLimit) {
  ResizeBox box = Opened(1000, 800);
  box.SetDesktopSize(true, 1920, 1080);
  EXPECT_EQ(box.WidthText(), "1920");
  EXPECT_EQ(box.HeightText(), "1080");
  EXPECT_EQ(box.WidthPercentText(), "192");
  EXPECT_EQ(box.HeightPercentText(), "135");
  EXPECT_FALSE(box.KeepRatio());
  EXPECT_TRUE(box.DesktopSize());
  // Beyond three times the source: taken as it is.
  box = Opened(500, 300);
  box.SetDesktopSize(true, 3840, 2160);
  EXPECT_EQ(box.Ok().width, 3840);
  EXPECT_EQ(box.Ok().height, 2160);
  // Any box edit or the ratio tick unticks it again.
  box.WidthKeyUp("400");
  EXPECT_FALSE(box.DesktopSize());
  EXPECT_EQ(box.HeightText(), "2160");  // ratio not kept: the height stays
  box.SetKeepRatio(true);
  EXPECT_EQ(box.HeightText(), "240");
}

TEST(ResizeBox, ScrollBarsMoveTheBoxesAndOkFallsBack) {
  ResizeBox box = Opened(1000, 800);
  box.WidthScrolled(500);
  EXPECT_EQ(box.WidthText(), "500");
  EXPECT_EQ(box.WidthPercentText(), "50");
  EXPECT_EQ(box.HeightText(), "400");
  box.HeightScrolled(20000);
  EXPECT_EQ(box.HeightText(), "10000");
  EXPECT_EQ(box.WidthText(), "12500");
  ResizeBox::Decision d = box.Ok();
  EXPECT_EQ(d.kind, Kind::Resize);
  // Sides below 2 are refused; a source without pixels never divides by zero.
  box = Opened(1000, 800);
  box.SetKeepRatio(false);
  box.HeightKeyUp("1");
  EXPECT_EQ(box.Ok().kind, Kind::TooSmall);
  box = Opened(0, 0);
  box.WidthKeyUp("50");
  box.WidthPercentKeyUp("50");
  box.SetDesktopSize(true, 1920, 1080);
  EXPECT_EQ(box.WidthPercentText(), "0");
}
