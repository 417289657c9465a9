// The sectioned settings file: single named values in "[SECTION]" blocks of "KEY = value" lines,
// CP932 text with CR LF. Texts passed in and returned are UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/errors.h"
#include "platform/fs.h"

namespace tallyx::settings {

// A failed write: kSettingsNotWritten (the file could not be created or written) or
// kSettingsNotReplaced, with the name of the file concerned.
struct IniFailure {
  model::ErrorNumber err_no{};
  std::string name;
};

// What ReadIni answers for a missing value.
inline constexpr std::string_view kMissingValue = "-1";

// The trimmed value of `key` in `section`; kMissingValue when the file, the section or the key is
// missing, and when the file cannot be read.
std::string ReadIni(const std::string& path, std::string_view section, std::string_view key,
                    platform::FileSystem& fs);

// Makes `key` of `section` hold the trimmed `value`, rewriting the whole file. The new content
// is written into `path` + "$", forced to the disk, and renamed over the old file (or into
// place, when there was none), so that the old or the new file is whole at every moment.
// Returns the failure, if any, for the caller to show: not written with `path` when a new file
// cannot be made (nothing is left behind), not written with `path` + "$" when the old file cannot
// be read or the new content cannot be written (the old file stays), not replaced with `path`
// when the replace fails (the old file and the complete temporary file stay).
std::optional<IniFailure> WriteIni(const std::string& path, std::string_view section,
                                   std::string_view key, std::string_view value,
                                   platform::FileSystem& fs);

// Makes `to` hold the bytes of the file `from`, the same safe way as WriteIni: written into
// `to` + "$", forced to the disk and renamed over `to`. False when it could not; `to` then stays
// as it was and nothing is left beside it.
bool CopyIni(const std::string& from, const std::string& to, platform::FileSystem& fs);

}  // namespace tallyx::settings
