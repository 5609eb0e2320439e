#pragma once
// The resize window's boxes without widgets: the width and height in pixels and in percent,
// their scroll bars, "Keep image ratio" and "Desktop size". Every rule of the window is here so
// that it can be tested on its numbers; the window only moves text between this model and its
// controls. All arithmetic is integer with truncating division; the pixel boxes keep whatever
// text they were given, the scroll bars hold 1..10000.

#include <string>

namespace brumeleaf::view {

inline constexpr int kResizeScrollMin = 1;
inline constexpr int kResizeScrollMax = 10000;

// Every character a decimal digit; an empty text counts as a number.
bool IsNumber(const std::string& text);
// The value of a digit string, saturated at the int maximum however long it is; 0 for an empty
// text or one that is not a number.
int DigitsValue(const std::string& text);

class ResizeBox {
 public:
  // What "OK" decided.
  struct Decision {
    enum class Kind { Resize, TooSmall, TooLarge };
    Kind kind = Kind::Resize;
    int width = 0;
    int height = 0;
  };

  // The window activated on a source of w0 x h0: boxes at that size and 100 %, ratio kept.
  void Activate(int w0, int h0);

  // A key released in one of the four boxes, which now holds `text`.
  void WidthKeyUp(const std::string& text);
  void HeightKeyUp(const std::string& text);
  void WidthPercentKeyUp(const std::string& text);
  void HeightPercentKeyUp(const std::string& text);
  // A scroll bar moved by the user (the window passes only moves of the focused bar).
  void WidthScrolled(int position);
  void HeightScrolled(int position);
  void SetKeepRatio(bool ticked);
  // "Desktop size" ticked with the desktop's size in physical pixels; unticking changes nothing.
  void SetDesktopSize(bool ticked, int desktopWidth, int desktopHeight);
  // The size "OK" applies: the source size when a pixel box is not all digits; refused when a
  // side is below 2 or beyond the largest picture.
  Decision Ok() const;

  const std::string& WidthText() const { return edit1_; }
  const std::string& HeightText() const { return edit2_; }
  const std::string& WidthPercentText() const { return edit3_; }
  const std::string& HeightPercentText() const { return edit4_; }
  int WidthScroll() const { return scrollBar1_; }
  int HeightScroll() const { return scrollBar2_; }
  bool KeepRatio() const { return keepRatio_; }
  bool DesktopSize() const { return desktopSize_; }
  int SourceWidth() const { return w0_; }
  int SourceHeight() const { return h0_; }

 private:
  enum class Side { Width, Height };
  // The two sides' controls seen from one side.
  struct SideRefs {
    std::string& pixels;
    std::string& percent;
    int& scroll;
    int original;
  };
  SideRefs Refs(Side side);
  static void ResetToOriginal(SideRefs& s);
  void PixelsKeyUp(Side side, const std::string& text);
  void PercentKeyUp(Side side, const std::string& text);
  void Scrolled(Side side, int position);
  void Synchronize(Side changed);

  int w0_ = 0, h0_ = 0;
  std::string edit1_ = "0", edit2_ = "0", edit3_ = "100", edit4_ = "100";
  int scrollBar1_ = 1, scrollBar2_ = 1;
  bool keepRatio_ = true;
  bool desktopSize_ = false;
};

}  // namespace brumeleaf::view
