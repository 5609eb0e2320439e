#include "cli/SettingsOption.h"

#include <filesystem>
#include <stdexcept>

#include "settings/SettingsFile.h"

namespace brumeleaf::cli {

void ApplySettingsFile(const std::string& path, EffectSettings& settings) {
  if (!std::filesystem::is_regular_file(path)) throw std::runtime_error(path + ": there is no such settings file.");
  AppSettings read;
  std::string message;
  const SettingsReadResult result = LoadSettingsFile(path, read, &message);
  if (result == SettingsReadResult::Missing) throw std::runtime_error(path + ": not a settings file");
  if (result == SettingsReadResult::Refused) throw std::runtime_error(message);
  FinishingOptions& finishing = settings.MutableFinishing();
  finishing.frame = read.frame;
  finishing.caption = read.caption;
  settings.RestoreStoredTexture(read.textureNumber, read.textureStrength);
}

}  // namespace brumeleaf::cli
