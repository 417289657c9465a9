// The measurement modes and the output items: constant tables and pure lookups.
//
// A mode is 0 (muscle strength), 1 (isometric), 2 (initial rehabilitation) or 3 (exercise); any
// other value is looked up as mode 0. The output items are the bits 0 to 24 of a 32-bit mask.
#pragma once

#include <cstdint>
#include <string_view>

namespace tallyx::model {

inline constexpr int kModeCount = 4;
inline constexpr int kItemCount = 25;

// Items 0, 1, 3 to 7 and 20 to 23.
inline constexpr std::int32_t kDefaultMask = 15728891;
// All 25 items: the largest mask the output-item dialog returns.
inline constexpr std::int32_t kAllItemsMask = 33554431;

// Bits of the items that the conversion treats specially.
inline constexpr int kBitFileName = 1;
inline constexpr int kBitPerTurn = 23;
inline constexpr int kBitWaveform = 24;

// The output path the settings start with.
inline constexpr std::string_view kDefaultOutputPath = "C:\\Kyrova\\Sample1.csv";

inline constexpr bool HasBit(std::int32_t mask, int bit) {
  return (static_cast<std::uint32_t>(mask) >> bit) & 1u;
}

inline constexpr int NormalMode(int mode) { return mode >= 1 && mode <= 3 ? mode : 0; }

struct ModeEntries {
  std::string_view mode_name;        // entry of the mode box
  std::string_view filter_entry;     // file-name pattern with its comment
  std::string_view directory_entry;  // input directory with its comment
  std::string_view dialog_caption;   // caption of the output-item dialog
};

enum class ItemGroup { kFrame1, kFrame2, kFrame3 };

const ModeEntries& EntriesOf(int mode);
// Caption of the box of `item` (0 to 24) in `mode`.
std::string_view ItemCaption(int item, int mode);
// Whether the box of `item` (0 to 24) is shown in `mode`.
bool ItemShown(int item, int mode);
ItemGroup GroupOf(int item);

}  // namespace tallyx::model
