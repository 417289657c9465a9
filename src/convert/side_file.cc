#include "convert/side_file.h"

#include "platform/fs.h"
#include "text/parse.h"

namespace tallyx::convert {

SideFileName SideFileName::FromOutputPath(std::string_view output_path) {
  std::size_t name_start = output_path.size();
  while (name_start > 0 && !platform::IsPathSeparator(output_path[name_start - 1])) --name_start;
  const std::size_t dot = output_path.find('.', name_start);
  if (dot != std::string_view::npos) {
    return {std::string(output_path.substr(0, dot)), std::string(output_path.substr(dot))};
  }
  return {std::string(text::TrimBlanks(output_path)), std::string()};
}

std::string SideFileName::PathFor(std::int32_t file_index) const {
  return base + std::to_string(file_index) + extension;
}

}  // namespace tallyx::convert
