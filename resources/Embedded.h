#pragma once
// Data files compiled into the binaries (language tables and other text data).

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace brumeleaf {

const std::map<std::string, std::string_view>& EmbeddedFiles();

inline std::optional<std::string_view> EmbeddedFile(const std::string& name) {
  const auto& files = EmbeddedFiles();
  auto it = files.find(name);
  if (it == files.end()) return std::nullopt;
  return it->second;
}

}  // namespace brumeleaf
