#include "settings/ParameterFile.h"

#include <charconv>
#include <cstdint>
#include <span>
#include <vector>

#include "io/FileBytes.h"
#include "io/PictureFile.h"
#include "io/TextLines.h"

namespace brumeleaf {
namespace {

constexpr std::string_view kExtension = ".bfp";
constexpr std::string_view kDefaultPictureName = "Brumeleaf image";
// A parameter file is about a kilobyte; anything far larger is not one.
constexpr std::uint64_t kMaxParameterFileBytes = kMaxTextFileBytes;

// Reads lines in order; past the end the last line read stays in the buffer (it starts as
// "0"), which is how a short file fills its missing lines.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : lines_(SplitTextLines(text)) {}
  std::string_view Next() {
    if (next_ < lines_.size()) {
      buffer_ = lines_[next_];
      bufferLine_ = next_ + 1;
    }
    ++next_;
    return buffer_;
  }
  // 1-based number of the file line the buffer came from (for messages); past the end that is
  // the last line, whose text is being repeated.
  std::size_t Position() const { return bufferLine_; }

 private:
  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
  std::size_t bufferLine_ = 0;
  std::string_view buffer_ = "0";
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

int ParseValue(std::string_view line, std::size_t lineNumber) {
  std::string_view text = Trim(line);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size())
    throw ParameterFileError("Line " + std::to_string(lineNumber) + " of the parameter file (\"" +
                             EscapedForMessage(line) + "\") is not an integer");
  return value;
}

// The line is taken before its number is asked for: as two arguments of one call the order
// would be the compiler's choice.
int NextValue(LineReader& reader) {
  const std::string_view line = reader.Next();
  return ParseValue(line, reader.Position());
}

// The picture name less its last four characters (its extension), counted in characters.
std::string WithoutExtension(const std::string& name) {
  std::size_t end = name.size();
  for (int removed = 0; removed < 4 && end > 0; ++removed) {
    --end;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  }
  return name.substr(0, end);
}

// Effect names become part of a file name: a path separator must not lead into another folder.
std::string FileNameSafe(std::string text) {
  for (char& c : text)
    if (c == '/' || c == '\\') c = '-';
  return text;
}

}  // namespace

std::filesystem::path ParameterFilePath(const std::filesystem::path& chosen) {
  const std::string name = chosen.string();
  if (name.size() >= kExtension.size() && name.compare(name.size() - kExtension.size(),
                                                       kExtension.size(), kExtension) == 0)
    return chosen;
  return std::filesystem::path(name + std::string(kExtension));
}

ParameterSet CaptureParameters(const EffectSettings& settings) {
  ParameterSet set;
  for (int code = 0; code < kStoredEffects; ++code)
    set.values[static_cast<std::size_t>(code)] = settings.Values()[static_cast<std::size_t>(code)];
  set.listIndex = settings.ListIndex();
  return set;
}

std::string FormatParameterFile(const ParameterSet& set) {
  std::string text;
  for (int code = 0; code < kStoredEffects; ++code) {
    // Appended piece by piece: gcc 12 warns falsely about "[" + std::string.
    text.append("[").append(std::to_string(code)).append("]\r\n");
    for (int value : set.values[static_cast<std::size_t>(code)])
      text.append(std::to_string(value)).append("\r\n");
  }
  text.append(std::to_string(set.listIndex)).append("\r\n");
  return text;
}

std::filesystem::path SaveParameterFile(const std::filesystem::path& chosen,
                                        const EffectSettings& settings) {
  const std::filesystem::path path = ParameterFilePath(chosen);
  try {
    const std::string text = FormatParameterFile(CaptureParameters(settings));
    WriteFileReplacing(path.string(), std::span(reinterpret_cast<const std::uint8_t*>(text.data()),
                                                text.size()));
  } catch (const FileError& e) {
    throw ParameterFileError(e.what());
  }
  return path;
}

ParameterSet ParseParameterFile(std::string_view text) {
  LineReader reader(text);
  ParameterSet set;
  for (auto& row : set.values) {
    reader.Next();  // the block's "[i]" line is not checked
    for (int& value : row) value = NextValue(reader);
  }
  set.listIndex = NextValue(reader);
  if (set.listIndex < 0 || set.listIndex >= kListEntryCount)
    throw ParameterFileError("The parameter file selects effect list entry " +
                             std::to_string(set.listIndex) + ", which does not exist (0 to " +
                             std::to_string(kListEntryCount - 1) + ")");
  return set;
}

ParameterSet ReadParameterFile(const std::filesystem::path& path) {
  std::string text;
  try {
    text = ReadSmallFile(path.string(), kMaxParameterFileBytes, "parameter file");
  } catch (const FileError& e) {
    throw ParameterFileError(e.what());
  }
  try {
    return ParseParameterFile(text);
  } catch (const ParameterFileError& e) {
    throw ParameterFileError(path.string() + ": " + e.what());
  }
}

std::string ProposedSaveName(const std::string& pictureName, bool parametersInName,
                             const std::string& entryText, const std::array<int, 5>& sliders) {
  if (pictureName == kDefaultPictureName) return std::string(kDefaultPictureName) + ".jpg";
  const std::string base = WithoutExtension(pictureName);
  if (!parametersInName) return base + "_Brumeleaf.jpg";
  std::string name = "Brumeleaf_";
  name.append(base).append("_").append(FileNameSafe(entryText));
  for (int value : sliders) name.append("_").append(std::to_string(value));
  return name.append(".jpg");
}

}  // namespace brumeleaf
