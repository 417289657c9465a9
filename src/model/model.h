// The measurement modes and the output items: constant tables and pure lookups.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace tallyx::model {

// The measurement modes, numbered as the entries of the mode box and the settings file's MODE.
enum class Mode { kMuscleStrength = 0, kIsometric = 1, kInitialRehabilitation = 2, kExercise = 3 };

inline constexpr int kModeCount = 4;
inline constexpr std::array<Mode, kModeCount> kAllModes = {
    Mode::kMuscleStrength, Mode::kIsometric, Mode::kInitialRehabilitation, Mode::kExercise};

constexpr int NumberOf(Mode mode) { return static_cast<int>(mode); }
constexpr bool IsModeNumber(int number) { return number >= 0 && number < kModeCount; }
// The mode numbered `number`; a number that names no mode stands for the first one.
constexpr Mode ModeOf(int number) {
  return IsModeNumber(number) ? static_cast<Mode>(number) : Mode::kMuscleStrength;
}

// The output items: bit n of a 32-bit mask selects item n. The boxes kPedalOrigin to
// kPedalDirection carry other values in the isometric and the exercise mode; ItemCaption says
// which.
enum class Item {
  kName = 0,
  kFileName = 1,
  kPatientCode = 2,
  kUserId = 3,
  kBirthDate = 4,
  kSex = 5,
  kHeight = 6,
  kWeight = 7,
  kSeatBase = 8,
  kSeatPosition = 9,
  kPedalHeight = 10,
  kPedalLength = 11,
  kBackrestAngle = 12,
  kPedalOrigin = 13,
  kPedalTurns = 14,
  kAssistSpeed = 15,
  kStrengthSetting = 16,
  kPedalDirection = 17,
  kCalories = 18,
  kSpare = 19,
  kDate = 20,
  kTime = 21,
  kMaximum = 22,
  kPerTurn = 23,
  kWaveform = 24,  // the waveform side files
};

inline constexpr int kItemCount = 25;

constexpr int BitOf(Item item) { return static_cast<int>(item); }
// The item of bit `bit`, 0 to 24.
constexpr Item ItemAt(int bit) { return static_cast<Item>(bit); }

constexpr std::int32_t MaskOf(std::initializer_list<Item> items) {
  std::uint32_t mask = 0;
  for (const Item item : items) mask |= 1u << BitOf(item);
  return static_cast<std::int32_t>(mask);
}

inline constexpr bool HasBit(std::int32_t mask, int bit) {
  return (static_cast<std::uint32_t>(mask) >> bit) & 1u;
}
constexpr bool Has(std::int32_t mask, Item item) { return HasBit(mask, BitOf(item)); }

inline constexpr std::int32_t kDefaultMask = MaskOf(
    {Item::kName, Item::kFileName, Item::kUserId, Item::kBirthDate, Item::kSex, Item::kHeight,
     Item::kWeight, Item::kDate, Item::kTime, Item::kMaximum, Item::kPerTurn});
// All the items: the largest mask the output-item dialog returns.
inline constexpr std::int32_t kAllItemsMask = static_cast<std::int32_t>((1u << kItemCount) - 1);

// The output path the settings start with.
inline constexpr std::string_view kDefaultOutputPath = "C:\\Kyrova\\Sample1.csv";

// The columns an item adds to the CSV file: their captions, each ended by ",".
struct HeaderGroup {
  Item item;
  std::string_view captions;
};

// An item box whose caption in a mode is not its usual one.
struct Relabel {
  Item item;
  std::string_view caption;
};

// What differs from mode to mode.
struct ModeTable {
  std::string_view mode_name;        // entry of the mode box
  std::string_view filter_entry;     // file-name pattern with its comment
  std::string_view directory_entry;  // input directory with its comment
  std::string_view dialog_caption;   // caption of the output-item dialog
  std::span<const Relabel> relabels;
  std::int32_t hidden_items;  // boxes the output-item dialog hides
  // The columns after the common ones, in order: the settings, then the results.
  std::span<const HeaderGroup> setting_columns;
  std::span<const HeaderGroup> result_columns;
  std::string_view side_file_caption;  // first line of a waveform side file (UTF-8)
};

const ModeTable& TableOf(Mode mode);

// The columns every mode begins with, in order.
std::span<const HeaderGroup> CommonHeaderGroups();

enum class ItemGroup { kFrame1, kFrame2, kFrame3 };

// Caption of the box of `item` in `mode`.
std::string_view ItemCaption(Item item, Mode mode);
// Whether the box of `item` is shown in `mode`.
bool ItemShown(Item item, Mode mode);
ItemGroup GroupOf(Item item);

// The value of a box text that may carry a comment: the text before its first "(", trimmed.
std::string ValuePart(std::string_view text);

}  // namespace tallyx::model
