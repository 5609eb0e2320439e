#include "settings/SettingsFile.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <sstream>
#include <system_error>
#include <vector>

#include "imaging/Bitmap.h"
#include "io/FileBytes.h"
#include "io/PictureFile.h"
#include "io/TextLines.h"

namespace brumeleaf {
namespace {

// A whole number as the file writes it: optional sign, decimal digits, 32-bit range.
bool ParseInt(const std::string& text, int& value) {
  if (text.empty()) return false;
  std::size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i == text.size()) return false;
  for (std::size_t k = i; k < text.size(); ++k) {
    if (text[k] < '0' || text[k] > '9') return false;
  }
  errno = 0;
  const long long v = std::strtoll(text.c_str(), nullptr, 10);
  if (errno != 0 || v < INT_MIN || v > INT_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

// Walks the lines in order; every accessor returns false when reading must stop.
class LineReader {
 public:
  explicit LineReader(std::vector<std::string> lines) : lines_(std::move(lines)) {}

  bool Header(const char* expected) {
    std::string line;
    return Text(line) && line == expected;
  }
  bool Text(std::string& value) {
    if (next_ >= lines_.size()) return false;
    value = lines_[next_++];
    return true;
  }
  bool Int(int& value) {
    std::string line;
    if (!Text(line)) return false;
    return ParseInt(line, value);
  }
  bool Flag(bool& value) {
    std::string line;
    if (!Text(line)) return false;
    value = line == "True";
    return true;
  }

 private:
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
};

bool ReadStyle(LineReader& in, AppSettings& s) {
  std::string line;
  if (!in.Text(line)) return false;
  if (line == "1" || line == "2" || line == "3") s.style = line[0] - '0';
  return true;
}

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

// A placement a screen could show: maximised, or sides of a sane size at a position not far off
// any desktop. Anything else (a damaged or hostile file) leaves the default placement.
bool UsablePlacement(const WindowPlacement& p) {
  if (p.Maximised()) return true;
  return InRange(p.width, kMinWindowSide, kMaxWindowSide) &&
         InRange(p.height, kMinWindowSide, kMaxWindowSide) &&
         InRange(p.left, -kMaxWindowSide, kMaxWindowSide) &&
         InRange(p.top, -kMaxWindowSide, kMaxWindowSide);
}

bool ReadPlacement(LineReader& in, AppSettings& s) {
  WindowPlacement p;
  if (!in.Int(p.left) || !in.Int(p.top) || !in.Int(p.width)) return false;
  int height = 0;
  if (!in.Int(height)) return false;
  p.height = p.width == -1 ? -1 : height;
  if (UsablePlacement(p)) {
    s.placement = p;
    s.placementRead = true;
  }
  return true;
}

// Numbers outside the range of the control they belong to go back to the default. `orUnset`
// also accepts -1, the "nothing stored yet" of the text window and the texture.
void KeepInRange(int& value, int low, int high, int fallback, bool orUnset = false) {
  if (!(InRange(value, low, high) || (orUnset && value == -1))) value = fallback;
}

// An edit box holding a whole number of at most four digits within its up-down's range.
void KeepNumberText(std::string& text, int high, const std::string& fallback) {
  int value = -1;
  const bool digits = !text.empty() && text.size() <= 4 &&
                      text.find_first_not_of("0123456789") == std::string::npos;
  if (!digits || !ParseInt(text, value) || value > high) text = fallback;
}

constexpr int kMaxColour = 0xFFFFFF;

void KeepInRange(AppSettings& s) {
  const AppSettings d;
  KeepInRange(s.frame.style, 0, 5, d.frame.style);
  KeepInRange(s.frame.realisticFrame, 0, 12, d.frame.realisticFrame);
  KeepInRange(s.frame.colouredFrame, 0, 5, d.frame.colouredFrame);
  KeepInRange(s.frame.upDown4, 0, 1000, d.frame.upDown4);
  KeepInRange(s.frame.tintRed, -255, 255, d.frame.tintRed);
  KeepInRange(s.frame.tintGreen, -255, 255, d.frame.tintGreen);
  KeepInRange(s.frame.tintBlue, -255, 255, d.frame.tintBlue);
  KeepInRange(s.frame.fillColour, 0, kMaxColour, d.frame.fillColour);
  KeepInRange(s.frame.lineColour, 0, kMaxColour, d.frame.lineColour);
  KeepNumberText(s.frame.marginText, 1000, d.frame.marginText);
  KeepNumberText(s.frame.spacingText, 500, d.frame.spacingText);
  KeepInRange(s.caption.position, 0, 9, d.caption.position, true);
  KeepInRange(s.caption.x, 0, kMaxWidth - 1, d.caption.x, true);
  KeepInRange(s.caption.y, 0, kMaxHeight - 1, d.caption.y, true);
  KeepInRange(s.caption.fontSize, 1, 1000, d.caption.fontSize, true);
  KeepInRange(s.caption.colour, 0, kMaxColour, d.caption.colour, true);
  KeepInRange(s.textureNumber, 0, 9, d.textureNumber, true);
  KeepInRange(s.textureStrength, 0, 2, d.textureStrength, true);
}

bool ReadFrames(LineReader& in, AppSettings& settings) {
  PictureFrameOptions& s = settings.frame;
  if (!in.Int(s.style) || !in.Int(s.realisticFrame) || !in.Int(s.colouredFrame) ||
      !in.Int(s.upDown4) || !in.Int(s.tintRed) || !in.Int(s.tintGreen) || !in.Int(s.tintBlue) ||
      !in.Int(s.fillColour) || !in.Int(s.lineColour)) {
    return false;
  }
  std::string ignored;
  return in.Text(s.marginText) && in.Text(s.spacingText) && in.Text(ignored);
}

bool ReadText(LineReader& in, AppSettings& settings) {
  CaptionOptions& s = settings.caption;
  if (!in.Text(s.text) || !in.Int(s.position) || !in.Int(s.x) || !in.Int(s.y) ||
      !in.Text(s.fontName) || !in.Int(s.fontSize)) {
    return false;
  }
  std::string style;
  if (!in.Text(style)) return false;
  s.bold = style.find("Bold") != std::string::npos;
  s.italic = style.find("Italic") != std::string::npos;
  s.underline = style.find("Underline") != std::string::npos;
  s.strikeout = style.find("Strikeout") != std::string::npos;
  return in.Int(s.colour);
}

bool ReadAll(LineReader& in, AppSettings& s) {
  return in.Header("[Skin number]") && ReadStyle(in, s) &&
         in.Header("[Main window size and position]") && ReadPlacement(in, s) &&
         in.Header("[Language]") && in.Text(s.language) &&
         in.Header("[Directories]") && in.Text(s.openFolder) && in.Text(s.brushFolder) &&
         in.Header("[Frames]") && ReadFrames(in, s) &&
         in.Header("[Text]") && ReadText(in, s) &&
         in.Header("[Texture]") && in.Int(s.textureNumber) && in.Int(s.textureStrength) &&
         in.Header("[Update]") && in.Flag(s.updateCheck) &&
         in.Header("[Preview]") && in.Flag(s.examplePictures) &&
         in.Header("[SaveParametersInFilename]") && in.Flag(s.saveParametersInName);
}

const char* TrueFalse(bool b) { return b ? "True" : "False"; }

bool FolderWritable(const std::filesystem::path& folder) {
  return !folder.empty() && ::access(folder.c_str(), W_OK) == 0;
}

// The folders a package manager installs programs into. Run from there (as root, they are
// writable) the file would land among the system's programs, where removing the package leaves
// it behind; each user keeps their own settings instead.
bool SystemProgramFolder(const std::filesystem::path& folder) {
  const std::filesystem::path plain = folder.lexically_normal();
  for (const char* system : {"/usr/bin", "/usr/local/bin", "/bin", "/usr/games", "/usr/local/games"}) {
    if (plain == system || plain == std::filesystem::path(system) / "") return true;
  }
  return false;
}

}  // namespace

SettingsReadResult ParseSettings(const std::string& text, AppSettings& settings) {
  LineReader in(SplitTextLinesCopy(text));
  const bool complete = ReadAll(in, settings);
  KeepInRange(settings);
  return complete ? SettingsReadResult::Complete : SettingsReadResult::StoppedEarly;
}

std::string FormatSettings(const AppSettings& s, const WindowPlacement& p) {
  std::ostringstream out;
  auto line = [&out](const auto& value) { out << value << "\r\n"; };
  line("[Skin number]");
  line(s.style == 1 || s.style == 2 ? s.style : 3);
  line("[Main window size and position]");
  line(p.Maximised() ? 0 : p.left);
  line(p.Maximised() ? 0 : p.top);
  line(p.Maximised() ? -1 : p.width);
  line(p.Maximised() ? -1 : p.height);
  line("[Language]");
  line(s.language);
  line("[Directories]");
  line(s.openFolder);
  line(s.brushFolder);
  line("[Frames]");
  const PictureFrameOptions& f = s.frame;
  for (int v : {f.style, f.realisticFrame, f.colouredFrame, f.upDown4, f.tintRed, f.tintGreen, f.tintBlue,
                f.fillColour, f.lineColour}) {
    line(v);
  }
  line(f.marginText);
  line(f.spacingText);
  line(s.addFrameChecked ? "Checked" : "Unchecked");
  line("[Text]");
  const CaptionOptions& c = s.caption;
  line(c.text);
  line(c.position);
  line(c.x);
  line(c.y);
  line(c.fontName);
  line(c.fontSize);
  line(std::string(c.bold ? "Bold " : "") + (c.italic ? "Italic " : "") +
       (c.underline ? "Underline " : "") + (c.strikeout ? "Strikeout " : ""));
  line(c.colour);
  line("[Texture]");
  line(s.textureNumber);
  line(s.textureStrength);
  line("[Update]");
  line(TrueFalse(s.updateCheck));
  line("[Preview]");
  line(TrueFalse(s.examplePictures));
  line("[SaveParametersInFilename]");
  line(TrueFalse(s.saveParametersInName));
  return out.str();
}

WindowPlacement CorrectPlacement(WindowPlacement p, int desktopWidth, int desktopHeight) {
  return FitPlacement(p, 0, 0, desktopWidth, desktopHeight);
}

WindowPlacement FitPlacement(WindowPlacement p, int desktopLeft, int desktopTop, int desktopWidth,
                             int desktopHeight) {
  if (p.Maximised()) return p;
  if (p.width <= 0 || p.height <= 0) {
    p = DefaultPlacement(desktopWidth, desktopHeight);
    p.left += desktopLeft;
    p.top += desktopTop;
    return p;
  }
  // 64-bit sums: the numbers may come from a file and be anywhere in int's range.
  using I = std::int64_t;
  if (I{p.left} < desktopLeft || I{p.left} + p.width > I{desktopLeft} + desktopWidth) {
    p.left = desktopLeft;
    p.width = desktopWidth;
  }
  if (I{p.top} < desktopTop || I{p.top} + p.height > I{desktopTop} + desktopHeight) {
    p.top = desktopTop;
    p.height = desktopHeight;
  }
  return p;
}

WindowPlacement DefaultPlacement(int desktopWidth, int desktopHeight) {
  WindowPlacement p;
  p.width = desktopWidth * 95 / 100;
  p.height = desktopHeight * 95 / 100;
  p.left = (desktopWidth - p.width) / 2;
  p.top = (desktopHeight - p.height) / 2;
  return p;
}

std::filesystem::path SettingsFilePath(const std::filesystem::path& executableFolder,
                                       const std::filesystem::path& configHome) {
  if (!SystemProgramFolder(executableFolder) && FolderWritable(executableFolder))
    return executableFolder / "Brumeleaf.ini";
  return configHome / "Brumeleaf" / "Brumeleaf.ini";
}

SettingsReadResult LoadSettingsFile(const std::filesystem::path& path, AppSettings& settings,
                                    std::string* message) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return SettingsReadResult::Missing;
  std::string text;
  try {
    text = ReadSmallFile(path.string(), kMaxTextFileBytes, "settings file");
  } catch (const FileError& e) {
    // Only the size is worth a message: an unreadable file simply leaves the defaults.
    if (std::filesystem::is_regular_file(path, error) &&
        std::filesystem::file_size(path, error) > kMaxTextFileBytes) {
      if (message != nullptr) *message = e.what();
      return SettingsReadResult::Refused;
    }
    return SettingsReadResult::Missing;
  }
  return ParseSettings(text, settings);
}

bool SaveSettingsFile(const std::filesystem::path& path, const AppSettings& settings,
                      const WindowPlacement& placement) {
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  const std::string text = FormatSettings(settings, placement);
  try {
    WriteFileReplacing(path.string(), std::span(reinterpret_cast<const std::uint8_t*>(text.data()),
                                                text.size()));
  } catch (const FileError&) {
    return false;  // the caller falls back to the configuration folder or gives up quietly
  }
  return true;
}

}  // namespace brumeleaf
