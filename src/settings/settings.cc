#include "settings/settings.h"

#include <optional>
#include <string_view>
#include <utility>

#include "model/model.h"
#include "platform/fs.h"
#include "platform/text_conv.h"

namespace tallyx::settings {
namespace {

constexpr std::string_view kSection = "SYSTEM";
constexpr std::string_view kMissing = "-1";

// The number a stored text begins with, rounded; none when the key is missing or the number
// does not fit.
std::optional<std::int32_t> StoredInt32(const std::string& text) {
  if (text == kMissing) return std::nullopt;
  return platform::RoundToInt32(platform::LeadingNumber(text));
}

std::optional<std::int16_t> StoredMode(const std::string& text) {
  if (text == kMissing) return std::nullopt;
  const auto mode = platform::RoundToInt16(platform::LeadingNumber(text));
  if (!mode || *mode < 0 || *mode >= model::kModeCount) return std::nullopt;
  return mode;
}

std::string StoredText(std::string text, std::string_view fallback) {
  return text == kMissing ? std::string(fallback) : text;
}

}  // namespace

Settings DefaultSettings() {
  Settings s;
  s.mode = 0;
  s.optcode = model::kDefaultMask;
  s.path = model::EntriesOf(0).directory_entry;
  s.filter = model::EntriesOf(0).filter_entry;
  s.output = model::kDefaultOutputPath;
  return s;
}

Settings DefaultsKeepingMask(std::int32_t mask_in_force) {
  Settings s = DefaultSettings();
  s.optcode = mask_in_force;
  return s;
}

std::string SettingsFilePath() {
  const std::string temp = platform::GetEnv("TEMP");
  if (temp.empty()) return "Tallyx.ini";
  return temp + platform::kSeparator + "Tallyx.ini";
}

Settings LoadSettings(const std::string& ini_file) {
  const Settings d = DefaultSettings();
  Settings s;
  s.optcode = StoredInt32(ReadIni(ini_file, kSection, "OPTCODE")).value_or(d.optcode);
  s.path = StoredText(ReadIni(ini_file, kSection, "PATH"), d.path);
  s.filter = StoredText(ReadIni(ini_file, kSection, "FILTER"), d.filter);
  s.output = StoredText(ReadIni(ini_file, kSection, "OUTPUT"), d.output);
  s.mode = StoredMode(ReadIni(ini_file, kSection, "MODE")).value_or(d.mode);
  return s;
}

std::vector<IniFailure> SaveSettings(const std::string& ini_file, const Settings& values,
                                     const FailedWrite& each_failure) {
  const std::pair<std::string_view, std::string> writes[] = {
      {"MODE", std::to_string(values.mode)},
      {"OPTCODE", std::to_string(values.optcode)},
      {"PATH", values.path},
      {"FILTER", values.filter},
      {"OUTPUT", values.output},
  };
  std::vector<IniFailure> failures;
  for (const auto& [key, value] : writes) {
    if (auto failure = WriteIni(ini_file, kSection, key, value)) {
      if (each_failure) each_failure(*failure);
      failures.push_back(std::move(*failure));
    }
  }
  return failures;
}

}  // namespace tallyx::settings
