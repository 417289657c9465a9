// Reading the result section of one result file into the cells of its CSV data line.
//
// The layout is positional: every value is found by its line number. Cell texts are the file's
// own CP932 bytes, copied unchanged.
#pragma once

#include <array>
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

// Where an item's cells lie in the data line: bytes [begin, end), the final "," of its group
// included; the groups of an item that repeats (one per turn) make one range. begin == end for
// an item that added no cell.
struct CellRange {
  std::uint32_t begin = 0;
  std::uint32_t end = 0;
};
using ItemRanges = std::array<CellRange, model::kItemCount>;

// Reads lines 1 to the end of the result section and appends the cells of the items selected in
// `mask` to `line`. `turns` is the run's turn count: it carries over from file to file and is
// updated when the file's count line is numeric. False when the file breaks the layout (it ends
// early, a required TAB is missing, the time is not a time, a count is out of range) or cannot
// be read; `fault` then says where and why. Afterwards the reader stands at the first line of
// the waveform section. With `ranges`, each item's range in `line` is recorded there too.
bool ReadResultSection(text::LineReader* in, model::Mode mode, std::int32_t mask,
                       std::int16_t* turns, std::string* line, SectionFault* fault,
                       ItemRanges* ranges = nullptr);

}  // namespace tallyx::convert
