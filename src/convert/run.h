// One conversion run: the result files of one directory into one CSV file, and the waveform
// side files on request.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tallyx::convert {

struct RunInputs {
  int mode = 0;                // 0 to 3
  std::int32_t mask = 0;       // output items, bits 0 to 24
  std::string directory_text;  // directory box text, maybe with its comment
  std::string filter_text;     // filter box text, maybe with its comment
  std::string output_path;     // the CSV file
};

// What the window shows for a failed run: the error number and its two texts.
struct RunFailure {
  std::int16_t err_no = 0;
  std::string s1;
  std::string s2;
};

struct RunResult {
  bool ok = false;
  std::int32_t processed = 0;  // files processed, when ok
  RunFailure failure;          // when not ok
};

RunResult RunConversion(const RunInputs& inputs);

// The value of a box text that may carry a comment: the text before its first "(", trimmed.
std::string ValuePart(std::string_view text);

}  // namespace tallyx::convert
