#include "settings/SettingsFile.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <span>
#include <sstream>
#include <system_error>
#include <vector>

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

bool ReadPlacement(LineReader& in, AppSettings& s) {
  WindowPlacement p;
  if (!in.Int(p.left) || !in.Int(p.top) || !in.Int(p.width)) return false;
  int height = 0;
  if (!in.Int(height)) return false;
  p.height = p.width == -1 ? -1 : height;
  s.placement = p;
  s.placementRead = true;
  return true;
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

}  // namespace

SettingsReadResult ParseSettings(const std::string& text, AppSettings& settings) {
  LineReader in(SplitTextLinesCopy(text));
  return ReadAll(in, settings) ? SettingsReadResult::Complete : SettingsReadResult::StoppedEarly;
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
  if (p.Maximised()) return p;
  if (p.left + p.width > desktopWidth) {
    p.left = 0;
    p.width = desktopWidth;
  }
  if (p.top + p.height > desktopHeight) {
    p.top = 0;
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
  if (FolderWritable(executableFolder)) return executableFolder / "Brumeleaf.ini";
  return configHome / "Brumeleaf" / "Brumeleaf.ini";
}

SettingsReadResult LoadSettingsFile(const std::filesystem::path& path, AppSettings& settings) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return SettingsReadResult::Missing;
  std::ostringstream text;
  text << file.rdbuf();
  return ParseSettings(text.str(), settings);
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
