// Reading the result section of one result file into the cells of its CSV data line.
//
// The layout is positional: every value is found by its line number. Cell texts are the file's
// own CP932 bytes, copied unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/model.h"
#include "text/line_io.h"

namespace tallyx::convert {

// Where and why a result file broke off: its line (1-based) and what that line lacked.
struct SectionFault {
  enum class Kind {
    kEnds,       // the file ends before `line`
    kReadError,  // reading `line` failed; the system's reason is the file system's LastFailure()
    kNoTab,      // `line` has no TAB where the layout needs one
    kNotATime,   // `text` on `line` is not a time of day
    kCountOutOfRange,  // the count `text` on `line` does not fit 16 bits
  };
  Kind kind = Kind::kEnds;
  std::int32_t line = 0;
  std::string text;  // CP932, as in the file
};

// Reads lines 1 to the end of the result section and appends the cells of the items selected in
// `mask` to `line`. `turns` is the run's turn count: it carries over from file to file and is
// updated when the file's count line is numeric. False when the file breaks the layout (it ends
// early, a required TAB is missing, the time is not a time, a count is out of range) or cannot
// be read; `fault` then says where and why. Afterwards the reader stands at the first line of
// the waveform section.
bool ReadResultSection(text::LineReader* in, model::Mode mode, std::int32_t mask,
                       std::int16_t* turns, std::string* line, SectionFault* fault);

}  // namespace tallyx::convert
