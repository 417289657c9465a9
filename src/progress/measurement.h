// One result file as the viewer holds it: the cells of its items, exactly as the CSV data line
// of a conversion run carries them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/result_reader.h"
#include "model/model.h"
#include "progress/values.h"
#include "text/line_io.h"

namespace tallyx::progress {

// The items a folder's list keeps of every file: enough for the patients, their session tables
// and trends. A selected measurement is read again with every item (kDetailItems).
inline constexpr std::int32_t kListItems =
    model::MaskOf({model::Item::kName, model::Item::kPatientCode, model::Item::kUserId,
                   model::Item::kBirthDate, model::Item::kSex, model::Item::kHeight,
                   model::Item::kWeight, model::Item::kPedalOrigin, model::Item::kStrengthSetting,
                   model::Item::kPedalDirection, model::Item::kCalories, model::Item::kDate,
                   model::Item::kTime, model::Item::kMaximum});
// Every item the result section holds (not the file name nor the waveform, which are no lines
// of it).
inline constexpr std::int32_t kDetailItems =
    model::kAllItemsMask & ~model::MaskOf({model::Item::kFileName, model::Item::kWaveform});

// The cells of one result file's items, CP932 as in the file.
class Measurement {
 public:
  // Reads the result section of the file `in` reads, as the first file of a run (the turn
  // count starts at 0), keeping the items of `mask`. False, with `fault` set, when the file
  // breaks the layout; the reader then stands where it stopped, else at the waveform section.
  bool Read(text::LineReader* in, model::Mode mode, std::int32_t mask,
            convert::SectionFault* fault);

  // Cell `n` (1-based) of the item's group: the text between its commas in the CSV line. None
  // when the item was not kept or its group has fewer cells.
  std::optional<std::string_view> Cell(model::Item item, int n) const;
  // Every cell of the item's groups, in order (the per-turn group: one turn after another).
  std::vector<std::string_view> Cells(model::Item item) const;
  // The item's cells as the file's line held them: the group without its final ",".
  std::string_view Text(model::Item item) const;

  // The patient this measurement belongs to (CP932): its patient code, else its user ID, both
  // trimmed; empty when both are.
  std::string_view PatientKey() const;

  // The measurement's day and time, when its date cell is a date.
  std::optional<When> WhenTaken() const;

 private:
  convert::CellRange RangeOf(model::Item item) const;

  std::string cells_;  // the CSV line's cells of the kept items, each group ending in ","
  // Where each item's groups begin in cells_, kNotKept for an item without cells, as 16-bit
  // offsets: a folder holds many measurements. The reader appends an item's groups one after
  // the other, so they end where the next item's begin. Cells longer than 16 bits can say keep
  // their ranges in wide_ instead.
  static constexpr std::uint16_t kNotKept = 0xFFFF;
  std::array<std::uint16_t, model::kItemCount> begins_{};
  std::vector<convert::CellRange> wide_;
};

}  // namespace tallyx::progress
