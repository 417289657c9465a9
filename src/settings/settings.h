// The five settings kept between runs, their defaults, and where the settings file lies.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "settings/ini.h"

namespace tallyx::settings {

struct Settings {
  std::int16_t mode = 0;     // "MODE"
  std::int32_t optcode = 0;  // "OPTCODE": the output-item mask
  std::string path;          // "PATH": text of the directory box
  std::string filter;        // "FILTER": text of the filter box
  std::string output;        // "OUTPUT": the output CSV path
};

// The values a first start shows: each key's default.
Settings DefaultSettings();

// What "初期値" restores: the defaults, but with the mask in force kept.
Settings DefaultsKeepingMask(std::int32_t mask_in_force);

// "TEMP" joined with the separator and "Tallyx.ini"; "Tallyx.ini" alone when "TEMP" is unset.
std::string SettingsFilePath();

// Loads the five keys from section "SYSTEM", taking each key's default when it is missing, when
// a number is out of its type's range, or when the mode is not 0 to 3. A value that does not
// begin with a number reads as 0.
// `filter` is the stored text; the window replaces it by the loaded mode's list entry.
Settings LoadSettings(const std::string& ini_file);

// Called with a failed write before the next write is tried.
using FailedWrite = std::function<void(const IniFailure&)>;

// Writes MODE, OPTCODE, PATH, FILTER and OUTPUT, in this order; every write is tried. Each
// failure goes to `each_failure` right after its write, and all are returned in order.
std::vector<IniFailure> SaveSettings(const std::string& ini_file, const Settings& values,
                                     const FailedWrite& each_failure = {});

}  // namespace tallyx::settings
