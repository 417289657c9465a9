// Result files as the ergometer's software writes them, made up for the tests: CP932 lines
// ended by CR LF, with the result section of each mode and a waveform section.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/model.h"

namespace tallyx::testing {

struct ResultFileShape {
  model::Mode mode = model::Mode::kMuscleStrength;
  int turns = 3;           // per-turn lines (per-peak when isometric); the count line says so
  int waveform_lines = 4;  // samples after the two lines that open the waveform section
  int seed = 1;            // varies the values
  bool therapy_on_line_22 = false;  // exercise: no relative intensity line
};

// The lines of a result file (CP932, without line ends). Line n of the file is lines[n - 1].
std::vector<std::string> ResultLines(const ResultFileShape& shape);

// Lines joined with CR LF after each.
std::string JoinLines(const std::vector<std::string>& lines);

// Shorthand: the whole file.
inline std::string ResultFile(const ResultFileShape& shape) {
  return JoinLines(ResultLines(shape));
}

// The first line of the waveform section (1-based), as the layout of the mode places it.
int WaveformStart(const ResultFileShape& shape);

// UTF-8 to CP932, for writing expectations.
std::string Sjis(std::string_view utf8);

}  // namespace tallyx::testing
