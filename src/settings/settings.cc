// Minimal stand-in for the five settings, enough for the window to build and run.
#include "settings/settings.h"

#include "model/model.h"
#include "platform/fs.h"
#include "platform/text_conv.h"

namespace tallyx::settings {
namespace {
constexpr std::string_view kSection = "SYSTEM";
}

Settings DefaultSettings() {
  Settings s;
  s.mode = 0;
  s.optcode = model::kDefaultMask;
  s.path = std::string(model::EntriesOf(0).directory_entry);
  s.filter = std::string(model::EntriesOf(0).filter_entry);
  s.output = std::string(model::kDefaultOutputPath);
  return s;
}

std::string SettingsFilePath() {
  const std::string temp = platform::GetEnv("TEMP");
  if (temp.empty()) return "Tallyx.ini";
  return temp + platform::kSeparator + "Tallyx.ini";
}

Settings LoadSettings(const std::string& ini_file) {
  Settings s = DefaultSettings();
  if (std::string v = ReadIni(ini_file, kSection, "OPTCODE"); v != "-1") {
    s.optcode = platform::RoundToInt32(platform::LeadingNumber(v)).value_or(model::kDefaultMask);
  }
  if (std::string v = ReadIni(ini_file, kSection, "PATH"); v != "-1") s.path = v;
  if (std::string v = ReadIni(ini_file, kSection, "FILTER"); v != "-1") s.filter = v;
  if (std::string v = ReadIni(ini_file, kSection, "OUTPUT"); v != "-1") s.output = v;
  if (std::string v = ReadIni(ini_file, kSection, "MODE"); v != "-1") {
    s.mode = platform::RoundToInt16(platform::LeadingNumber(v)).value_or(0);
  }
  return s;
}

std::vector<IniFailure> SaveSettings(const std::string& ini_file, const Settings& values) {
  std::vector<IniFailure> failures;
  const auto write = [&](std::string_view key, const std::string& value) {
    if (auto f = WriteIni(ini_file, kSection, key, value)) failures.push_back(*f);
  };
  write("MODE", std::to_string(values.mode));
  write("OPTCODE", std::to_string(values.optcode));
  write("PATH", values.path);
  write("FILTER", values.filter);
  write("OUTPUT", values.output);
  return failures;
}

}  // namespace tallyx::settings
