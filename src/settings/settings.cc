#include "settings/settings.h"

#include <optional>
#include <string_view>
#include <utility>

#include "model/model.h"
#include "platform/fs.h"
#include "text/parse.h"

namespace tallyx::settings {
namespace {

constexpr std::string_view kSection = "SYSTEM";

// The stored text of `key`; none when it is missing (a stored "-1" reads as missing too).
std::optional<std::string> Stored(platform::FileSystem& fs, const std::string& ini_file,
                                  std::string_view key) {
  std::string text = ReadIni(ini_file, kSection, key, fs);
  if (text == kMissingValue) return std::nullopt;
  return text;
}

// The number a stored text begins with, rounded; none when the key is missing or the number
// does not fit.
std::optional<std::int32_t> StoredInt32(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  return text::RoundTo<std::int32_t>(text::LeadingNumber(*text));
}

std::optional<model::Mode> StoredMode(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  const auto number = text::RoundTo<std::int16_t>(text::LeadingNumber(*text));
  if (!number || !model::IsModeNumber(*number)) return std::nullopt;
  return model::ModeOf(*number);
}

constexpr std::string_view kFileName = "Tallyx.ini";

std::string Joined(const std::string& dir, std::string_view name) {
  std::string path = dir;
  if (path.back() != platform::kSeparator) path += platform::kSeparator;
  path.append(name);
  return path;
}

// Makes the missing directories of `file` below `below`, from the top down. A failure is left to
// the write that follows.
void MakeDirectories(platform::FileSystem& fs, const std::string& file, const std::string& below) {
  if (below.empty() || file.compare(0, below.size(), below) != 0) return;
  for (std::size_t cut = file.find(platform::kSeparator, below.size() + 1);
       cut != std::string::npos; cut = file.find(platform::kSeparator, cut + 1)) {
    const std::string dir = file.substr(0, cut);
    if (dir.back() == platform::kSeparator || fs.IsDirectory(dir)) continue;
    if (!fs.MakeDirectory(dir)) return;
  }
}

EnvLookup EnvironmentOf(platform::System& system) {
  return [&system](const char* name) { return system.GetEnv(name); };
}

}  // namespace

DefaultPlaces DefaultPlacesFrom(const EnvLookup& env, bool under_home) {
  DefaultPlaces places;
  std::string home = under_home ? env("HOME") : std::string();
  const bool at_home = !home.empty() && home.front() == '/';
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  if (home == "/") home.clear();
  // "C:\Kyrova\..." becomes "$HOME/Kyrova/...": the drive goes, the separators turn.
  const auto place = [&](std::string_view windows_text) {
    if (!at_home) return std::string(windows_text);
    std::string text = home;
    for (const char c : windows_text.substr(windows_text.find('\\'))) text += c == '\\' ? '/' : c;
    return text;
  };
  for (const model::Mode mode : model::kAllModes) {
    places.directory_entries[static_cast<std::size_t>(model::NumberOf(mode))] =
        place(model::TableOf(mode).directory_entry);
  }
  places.output = place(model::kDefaultOutputPath);
  return places;
}

DefaultPlaces DefaultPlacesOf(platform::System& system) {
  return DefaultPlacesFrom(EnvironmentOf(system), platform::kDefaultPlacesUnderHome);
}

Settings DefaultSettings(const DefaultPlaces& places) {
  Settings s;
  s.mode = model::Mode::kMuscleStrength;
  s.optcode = model::kDefaultMask;
  s.path = places.directory_entries[static_cast<std::size_t>(model::NumberOf(s.mode))];
  s.filter = model::TableOf(s.mode).filter_entry;
  s.output = places.output;
  return s;
}

namespace {

SettingsFile WithoutCopy(const EnvLookup& env, bool user_config_home) {
  const std::string temp = env("TEMP");
  if (!temp.empty()) return {temp + platform::kSeparator + std::string(kFileName), ""};
  if (user_config_home) {
    const auto absolute = [](const std::string& dir) {
      return !dir.empty() && dir.front() == platform::kSeparator;
    };
    const std::string xdg = env("XDG_CONFIG_HOME");
    if (absolute(xdg)) {
      return {Joined(Joined(xdg, "tallyx"), kFileName), std::string(1, platform::kSeparator)};
    }
    const std::string home = env("HOME");
    if (absolute(home)) return {Joined(Joined(Joined(home, ".config"), "tallyx"), kFileName), home};
  }
  return {std::string(kFileName), ""};
}

}  // namespace

SettingsFile LocateSettingsFile(const EnvLookup& env, bool user_config_home, bool settings_copy) {
  SettingsFile file = WithoutCopy(env, user_config_home);
  const std::string app_data = env("APPDATA");
  if (settings_copy && platform::IsAbsolutePath(app_data)) {
    file.copy = Joined(Joined(app_data, "Tallyx"), kFileName);
    file.copy_make_below = app_data;
  }
  return file;
}

SettingsFile LocateSettingsFile(platform::System& system) {
  return LocateSettingsFile(EnvironmentOf(system), platform::kHasUserConfigHome,
                            platform::kKeepsSettingsCopy);
}

Settings LoadSettings(const std::string& ini_file, platform::System& system) {
  platform::FileSystem& fs = system.files();
  const Settings d = DefaultSettings(DefaultPlacesOf(system));
  Settings s;
  s.optcode = StoredInt32(Stored(fs, ini_file, "OPTCODE")).value_or(d.optcode);
  s.path = Stored(fs, ini_file, "PATH").value_or(d.path);
  s.filter = Stored(fs, ini_file, "FILTER").value_or(d.filter);
  s.output = Stored(fs, ini_file, "OUTPUT").value_or(d.output);
  s.mode = StoredMode(Stored(fs, ini_file, "MODE")).value_or(d.mode);
  return s;
}

Settings LoadSettings(const SettingsFile& file, platform::System& system) {
  const bool from_copy = !file.copy.empty() && !system.files().PathExists(file.path);
  return LoadSettings(from_copy ? file.copy : file.path, system);
}

std::vector<IniFailure> SaveSettings(const SettingsFile& file, const Settings& values,
                                     const FailedWrite& each_failure, platform::FileSystem& fs) {
  const std::pair<std::string_view, std::string> writes[] = {
      {"MODE", std::to_string(model::NumberOf(values.mode))},
      {"OPTCODE", std::to_string(values.optcode)},
      {"PATH", values.path},
      {"FILTER", values.filter},
      {"OUTPUT", values.output},
  };
  std::vector<IniFailure> failures;
  for (const auto& [key, value] : writes) {
    MakeDirectories(fs, file.path, file.make_below);
    if (auto failure = WriteIni(file.path, kSection, key, value, fs)) {
      if (each_failure) each_failure(*failure);
      failures.push_back(std::move(*failure));
    }
  }
  if (file.copy.empty() || file.copy == file.path) return failures;
  MakeDirectories(fs, file.copy, file.copy_make_below);
  if (fs.PathExists(file.path)) {
    CopyIni(file.path, file.copy, fs);
  } else {
    // Nothing could be saved where the settings belong: the copy keeps them for the next start.
    for (const auto& [key, value] : writes) WriteIni(file.copy, kSection, key, value, fs);
  }
  return failures;
}

}  // namespace tallyx::settings
