#include "io/TextLines.h"

namespace brumeleaf {

std::vector<std::string_view> SplitTextLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> SplitTextLinesCopy(std::string_view text) {
  const std::vector<std::string_view> views = SplitTextLines(text);
  return std::vector<std::string>(views.begin(), views.end());
}

std::string EscapedForMessage(std::string_view text, std::size_t maxBytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const bool cut = text.size() > maxBytes;
  if (cut) text = text.substr(0, maxBytes);
  std::string shown;
  shown.reserve(text.size() + 3);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      shown += "\\\\";
    } else if (byte >= 0x20 && byte < 0x7F) {
      shown += c;
    } else {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 15];
    }
  }
  if (cut) shown += "...";
  return shown;
}

}  // namespace brumeleaf
