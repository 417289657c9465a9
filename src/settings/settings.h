// The five settings kept between runs, their defaults, and where the settings file lies.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/model.h"
#include "platform/fs.h"
#include "platform/system.h"
#include "settings/ini.h"

namespace tallyx::settings {

struct Settings {
  model::Mode mode = model::Mode::kMuscleStrength;  // "MODE"
  std::int32_t optcode = 0;                         // "OPTCODE": the output-item mask
  std::string path;                                 // "PATH": text of the directory box
  std::string filter;                               // "FILTER": text of the filter box
  std::string output;                               // "OUTPUT": the output CSV path
};

// An environment variable's value; empty when it is unset.
using EnvLookup = std::function<std::string(const char* name)>;

// The places the defaults name: each mode's directory list entry, with its comment, and the
// output file. These are the Windows texts ("C:\Kyrova\BrawnResults    (筋力測定 )",
// "C:\Kyrova\Sample1.csv"), unless `under_home` and "HOME" is absolute: then the same places
// under "$HOME/Kyrova", with "/" between the parts and each entry's comment and blanks kept.
struct DefaultPlaces {
  std::array<std::string, model::kModeCount> directory_entries;
  std::string output;
};
DefaultPlaces DefaultPlacesFrom(const EnvLookup& env, bool under_home);
// The same from `system`'s environment, by its rule.
DefaultPlaces DefaultPlacesOf(platform::System& system);

// The values a first start shows: each key's default.
Settings DefaultSettings(const DefaultPlaces& places);

// Where the settings file lies, and which of its directories a save may make.
struct SettingsFile {
  std::string path;
  // The directories of `path` below this one are made when a save finds them missing; empty
  // when none may be made.
  std::string make_below;
  // A second file that every save writes too, with the same content, and that a start reads
  // when `path` is missing; empty when there is none. Its directories below `copy_make_below`
  // are made when missing. Failing to write it goes unreported.
  std::string copy = {};
  std::string copy_make_below = {};
};

// "TEMP" joined with the separator and "Tallyx.ini" when "TEMP" is set and not empty. Else, with
// `user_config_home`, "tallyx/Tallyx.ini" in the user's configuration directory:
// "XDG_CONFIG_HOME" when it is absolute, otherwise ".config" in "HOME" when that is absolute;
// the directories are made by the first save (never "HOME" itself). "Tallyx.ini" in the
// current directory when none of these can be formed.
// With `settings_copy`, the copy is "Tallyx.ini" in the folder "Tallyx" of "APPDATA", when that
// is an absolute path.
SettingsFile LocateSettingsFile(const EnvLookup& env, bool user_config_home,
                                bool settings_copy = false);
// The same from `system`'s environment, by its rule.
SettingsFile LocateSettingsFile(platform::System& system);

// Loads the five keys from section "SYSTEM", taking each key's default when it is missing, when
// a number is out of its type's range, or when the mode number names no mode. A value that does
// not begin with a number reads as 0.
// `filter` is the stored text; the window replaces it by the loaded mode's list entry. The file
// is read through `system`'s files, the defaults come from its environment.
Settings LoadSettings(const std::string& ini_file, platform::System& system);
// The same from `file`'s path, or from its copy when there is one and the path names nothing.
Settings LoadSettings(const SettingsFile& file, platform::System& system);

// Called with a failed write before the next write is tried.
using FailedWrite = std::function<void(const IniFailure&)>;

// Writes MODE, OPTCODE, PATH, FILTER and OUTPUT, in this order; every write is tried. Each
// failure goes to `each_failure` right after its write, and all are returned in order.
// Before each write the missing directories that `file` allows are made; a write into a
// directory that could not be made fails as not written, with the settings path.
// Then the settings file is copied to `file.copy`, if any, written aside and renamed into place
// as each write is; when the settings file could not be made at all, the five writes go to the
// copy instead. The copy's failures are neither passed on nor returned.
std::vector<IniFailure> SaveSettings(const SettingsFile& file, const Settings& values,
                                     const FailedWrite& each_failure, platform::FileSystem& fs);

}  // namespace tallyx::settings
