#include "cli/FrameTextOptions.h"
#include "cli/SettingsOption.h"

#include <cstdio>
#include <cstdlib>
#include <vector>


namespace brumeleaf::cli {

const std::array<const Option*, 18> kFrameTextOptions = {
    &options::kSettings,   &options::kFrame,      &options::kMargin,     &options::kSpacing,
    &options::kFrameNumber, &options::kTint,      &options::kFillColour, &options::kLineColour,
    &options::kAddFrame,   &options::kText,       &options::kFont,       &options::kFontSize,
    &options::kFontStyle,  &options::kTextColour, &options::kTextPosition, &options::kTextAt,
    &options::kNoShadow,   &options::kAddText};

namespace {

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    parts.push_back(text.substr(start, comma == std::string::npos ? comma : comma - start));
    if (comma == std::string::npos) return parts;
    start = comma + 1;
  }
}

int FrameStyleOf(const std::string& name) {
  static const char* const kStyles[] = {"simple", "lined", "realistic", "colored", "triptych", "brushstrokes"};
  for (int i = 0; i < 6; ++i)
    if (name == kStyles[i]) return i;
  return 0;  // the declaration admits nothing else
}

int TextPositionOf(const std::string& name) {
  static const char* const kPlaces[] = {"top-left",    "top-middle",   "top-right",     "middle-left", "centre",
                                        "middle-right", "bottom-left", "bottom-middle", "bottom-right"};
  if (name == "center") return 5;
  for (int i = 0; i < 9; ++i)
    if (name == kPlaces[i]) return i + 1;
  return 9;
}

bool AnyOf(const ParsedOptions& parsed, std::initializer_list<const Option*> list) {
  for (const Option* o : list)
    if (parsed.Has(*o)) return true;
  return false;
}

}  // namespace

int ParseColourOption(const std::string& text, const std::string& what) {
  const std::string hex = !text.empty() && text[0] == '#' ? text.substr(1) : text;
  if (hex.size() != 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
    throw UsageError(what + " takes a colour written RRGGBB, such as ff0000 for red");
  const int r = std::stoi(hex.substr(0, 2), nullptr, 16);
  const int g = std::stoi(hex.substr(2, 2), nullptr, 16);
  const int b = std::stoi(hex.substr(4, 2), nullptr, 16);
  return static_cast<int>(MakeColour(r, g, b));
}

void ApplyFrameTextOptions(const ParsedOptions& parsed, EffectSettings& settings) {
  FinishingOptions& f = settings.MutableFinishing();
  // Everything is checked before anything changes.
  PictureFrameOptions frame = f.frame;
  CaptionOptions caption = f.caption;
  if (const auto path = parsed.TextIf(options::kSettings)) {
    const int textureNumber = f.textureNumber;
    const int strengthIndex = f.strengthIndex;
    ApplySettingsFile(*path, settings);
    frame = f.frame;
    caption = f.caption;
    // --texture and --strength, applied before, win over the file's choice.
    f.textureNumber = parsed.Has(options::kTexture) || f.storedTextureNumber < 0 ? textureNumber : f.storedTextureNumber;
    f.strengthIndex = parsed.Has(options::kStrength) || f.storedStrength < 0 ? strengthIndex : f.storedStrength;
  }
  if (const auto style = parsed.TextIf(options::kFrame)) frame.style = FrameStyleOf(*style);
  if (const auto margin = parsed.IntegerIf(options::kMargin)) frame.marginText = std::to_string(*margin);
  if (const auto spacing = parsed.IntegerIf(options::kSpacing)) frame.spacingText = std::to_string(*spacing);
  if (const auto number = parsed.IntegerIf(options::kFrameNumber)) {
    if (frame.style != 2) frame.colouredFrame = static_cast<int>(*number);
    if (frame.style != 3) frame.realisticFrame = static_cast<int>(*number);
  }
  if (const auto tint = parsed.TextIf(options::kTint)) {
    const std::vector<std::string> parts = SplitCommas(*tint);
    if (parts.size() != 3) throw UsageError("--tint takes three numbers R,G,B");
    int values[3];
    for (int i = 0; i < 3; ++i) {
      const long long v = ParseInteger(parts[static_cast<std::size_t>(i)], "each of --tint");
      if (v < -255 || v > 255) throw UsageError("each of --tint must lie in -255..255");
      values[i] = static_cast<int>(v);
    }
    frame.tintRed = values[0];
    frame.tintGreen = values[1];
    frame.tintBlue = values[2];
  }
  if (const auto c = parsed.TextIf(options::kFillColour)) frame.fillColour = ParseColourOption(*c, "--fill-colour");
  if (const auto c = parsed.TextIf(options::kLineColour)) frame.lineColour = ParseColourOption(*c, "--line-colour");

  if (const auto text = parsed.TextIf(options::kText)) caption.text = *text;
  if (const auto font = parsed.TextIf(options::kFont)) caption.fontName = *font;
  if (const auto size = parsed.IntegerIf(options::kFontSize)) caption.fontSize = static_cast<int>(*size);
  if (const auto styles = parsed.TextIf(options::kFontStyle)) {
    caption.bold = caption.italic = caption.underline = caption.strikeout = false;
    for (const std::string& s : SplitCommas(*styles)) {
      if (s == "bold") caption.bold = true;
      else if (s == "italic") caption.italic = true;
      else if (s == "underline") caption.underline = true;
      else if (s == "strikeout") caption.strikeout = true;
      else if (s != "none" && !s.empty())
        throw UsageError("--font-style takes bold, italic, underline and strikeout, comma-separated");
    }
  }
  if (const auto c = parsed.TextIf(options::kTextColour)) caption.colour = ParseColourOption(*c, "--text-colour");
  if (const auto place = parsed.TextIf(options::kTextPosition)) caption.position = TextPositionOf(*place);
  if (const auto at = parsed.TextIf(options::kTextAt)) {
    const std::vector<std::string> parts = SplitCommas(*at);
    if (parts.size() != 2) throw UsageError("--text-at takes two numbers X,Y");
    const long long x = ParseInteger(parts[0], "--text-at"), y = ParseInteger(parts[1], "--text-at");
    // Positions are limited to the picture's ranges when the caption is placed.
    caption.position = 0;
    caption.x = static_cast<int>(std::clamp(x, -1000000LL, 1000000LL));
    caption.y = static_cast<int>(std::clamp(y, -1000000LL, 1000000LL));
  }
  if (parsed.Has(options::kNoShadow)) caption.shadow = false;

  f.frame = frame;
  f.caption = caption;
  if (AnyOf(parsed, {&options::kFrame, &options::kMargin, &options::kSpacing, &options::kFrameNumber,
                     &options::kTint, &options::kFillColour, &options::kLineColour, &options::kAddFrame}))
    f.addFrame = true;
  if (AnyOf(parsed, {&options::kText, &options::kFont, &options::kFontSize, &options::kFontStyle,
                     &options::kTextColour, &options::kTextPosition, &options::kTextAt, &options::kNoShadow,
                     &options::kAddText}))
    f.addText = true;
}

namespace {

// Qt's remarks about the desktop session (a missing runtime folder, an offscreen platform's
// missing features) mean nothing on a command line; real problems still reach the terminal.
void QuietDesktopRemarks(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  if (type == QtWarningMsg && (message.startsWith(QStringLiteral("QStandardPaths:")) ||
                               message.startsWith(QStringLiteral("This plugin does not support"))))
    return;
  std::fprintf(stderr, "brumeleaf-cli: %s\n", message.toLocal8Bit().constData());
}

}  // namespace

std::unique_ptr<QGuiApplication> TextDisplayFor(const EffectSettings& settings) {
  if (!settings.Finishing().addText || qGuiApp) return nullptr;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(QuietDesktopRemarks);
  static int argc = 1;
  static char name[] = "brumeleaf-cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace brumeleaf::cli
