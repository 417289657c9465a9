// Names of the waveform side files: one per result file, numbered, beside the CSV file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tallyx::convert {

// The output path split for numbering: base + index + extension. The split is at the first "."
// of the file-name part (after the last separator), so side files never land in another
// directory; without a "." the base is the whole path, trimmed, and the extension is empty.
struct SideFileName {
  std::string base;
  std::string extension;

  static SideFileName FromOutputPath(std::string_view output_path);
  std::string PathFor(std::int32_t file_index) const;
};

}  // namespace tallyx::convert
