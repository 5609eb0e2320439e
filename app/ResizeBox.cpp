#include "app/ResizeBox.h"

#include <algorithm>
#include <climits>

#include "imaging/Bitmap.h"
#include "tools/SourceTools.h"

namespace brumeleaf::view {

namespace {

int Scroll(long long value) { return static_cast<int>(std::clamp<long long>(value, kResizeScrollMin, kResizeScrollMax)); }

// value * 100 div original, 0 for a source without that side (the commands that open the
// window are off then, but the model never divides by zero).
std::string Percent(int value, int original) {
  if (original <= 0) return "0";
  return std::to_string(static_cast<long long>(value) * 100 / original);
}

}  // namespace

bool IsNumber(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int DigitsValue(const std::string& text) {
  if (!IsNumber(text)) return 0;
  long long value = 0;
  for (char c : text) {
    value = value * 10 + (c - '0');
    if (value > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(value);
}

void ResizeBox::Activate(int w0, int h0) {
  w0_ = w0;
  h0_ = h0;
  edit1_ = std::to_string(w0);
  edit2_ = std::to_string(h0);
  edit3_ = edit4_ = "100";
  scrollBar1_ = Scroll(w0);
  scrollBar2_ = Scroll(h0);
  desktopSize_ = false;
  SetKeepRatio(true);
}

ResizeBox::SideRefs ResizeBox::Refs(Side side) {
  if (side == Side::Width) return {edit1_, edit3_, scrollBar1_, w0_};
  return {edit2_, edit4_, scrollBar2_, h0_};
}

// A box holding anything but digits puts its side back to the picture's own size.
void ResizeBox::ResetToOriginal(SideRefs& s) {
  s.pixels = std::to_string(s.original);
  s.scroll = Scroll(s.original);
  s.percent = "100";
}

void ResizeBox::PixelsKeyUp(Side side, const std::string& text) {
  SideRefs s = Refs(side);
  s.pixels = text;
  if (!IsNumber(s.pixels)) ResetToOriginal(s);
  if (s.pixels.empty()) s.pixels.assign(1, '0');
  const long long limit = 3LL * s.original;
  int value = DigitsValue(s.pixels);
  if (value > limit) {
    value = static_cast<int>(limit);
    s.pixels = std::to_string(value);
  }
  s.scroll = Scroll(value);
  s.percent = Percent(value, s.original);
  Synchronize(side);
  desktopSize_ = false;
}

void ResizeBox::PercentKeyUp(Side side, const std::string& text) {
  SideRefs s = Refs(side);
  s.percent = text;
  if (!IsNumber(s.percent)) ResetToOriginal(s);
  if (s.percent.empty()) s.percent.assign(1, '0');
  if (DigitsValue(s.percent) > 300) s.percent = "300";
  s.scroll = Scroll(static_cast<long long>(s.original) * DigitsValue(s.percent) / 100);
  s.pixels = std::to_string(s.scroll);
  Synchronize(side);
  desktopSize_ = false;
}

void ResizeBox::Scrolled(Side side, int position) {
  SideRefs s = Refs(side);
  s.scroll = Scroll(position);
  s.pixels = std::to_string(s.scroll);
  s.percent = Percent(s.scroll, s.original);
  Synchronize(side);
  desktopSize_ = false;
}

void ResizeBox::Synchronize(Side changed) {
  if (!keepRatio_) return;
  if (changed == Side::Width) {
    edit2_ = std::to_string(KeptRatioSide(DigitsValue(edit1_), w0_, h0_));
    edit4_ = edit3_;
  } else {
    edit1_ = std::to_string(KeptRatioSide(DigitsValue(edit2_), h0_, w0_));
    edit3_ = edit4_;
  }
  scrollBar1_ = Scroll(DigitsValue(edit1_));
  scrollBar2_ = Scroll(DigitsValue(edit2_));
}

void ResizeBox::WidthKeyUp(const std::string& text) { PixelsKeyUp(Side::Width, text); }
void ResizeBox::HeightKeyUp(const std::string& text) { PixelsKeyUp(Side::Height, text); }
void ResizeBox::WidthPercentKeyUp(const std::string& text) { PercentKeyUp(Side::Width, text); }
void ResizeBox::HeightPercentKeyUp(const std::string& text) { PercentKeyUp(Side::Height, text); }
void ResizeBox::WidthScrolled(int position) { Scrolled(Side::Width, position); }
void ResizeBox::HeightScrolled(int position) { Scrolled(Side::Height, position); }

void ResizeBox::SetKeepRatio(bool ticked) {
  keepRatio_ = ticked;
  if (!ticked) return;
  Synchronize(Side::Width);
  desktopSize_ = false;
}

void ResizeBox::SetDesktopSize(bool ticked, int desktopWidth, int desktopHeight) {
  desktopSize_ = ticked;
  if (!ticked) return;
  keepRatio_ = false;
  edit1_ = std::to_string(desktopWidth);
  scrollBar1_ = Scroll(desktopWidth);
  edit2_ = std::to_string(desktopHeight);
  scrollBar2_ = Scroll(desktopHeight);
  edit3_ = Percent(desktopWidth, w0_);
  edit4_ = Percent(desktopHeight, h0_);
}

ResizeBox::Decision ResizeBox::Ok() const {
  Decision d;
  if (IsNumber(edit1_) && IsNumber(edit2_)) {
    d.width = DigitsValue(edit1_);
    d.height = DigitsValue(edit2_);
  } else {
    d.width = w0_;
    d.height = h0_;
  }
  if (d.width < 2 || d.height < 2) {
    d.kind = Decision::Kind::TooSmall;
  } else if (d.width > kMaxWidth || d.height > kMaxHeight) {
    d.kind = Decision::Kind::TooLarge;
  }
  return d;
}

}  // namespace brumeleaf::view
