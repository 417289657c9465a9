#include "progress/sessions.h"

#include <cstdio>

#include "model/messages.h"
#include "platform/codec.h"
#include "text/parse.h"

namespace tallyx::progress {
namespace {

using model::Item;
using model::Mode;
namespace said = model::progress_text;

// Where a mode's values lie: cells of item 22 (0 where the mode has none), and the per-turn
// group's width with the cells of its left and right maxima.
struct Layout {
  int left = 0;
  int right = 0;
  int turn_width = 0;
  int turn_left = 0;
  int turn_right = 0;
};

constexpr Layout LayoutOf(Mode mode) {
  switch (mode) {
    case Mode::kMuscleStrength:
      return {1, 4, 7, 2, 5};
    case Mode::kIsometric:
      return {2, 0, 3, 2, 0};
    case Mode::kInitialRehabilitation:
      return {5, 8, 14, 3, 6};
    case Mode::kExercise:
      return {5, 6, 0, 0, 0};
  }
  return {};
}

std::optional<std::string_view> CellOf(const Measurement& m, Item item, int n) {
  if (n == 0) return std::nullopt;
  return m.Cell(item, n);
}

std::optional<double> NumberOf(const Measurement& m, Item item, int n) {
  const auto cell = CellOf(m, item, n);
  return cell ? NumberIn(*cell) : std::nullopt;
}

// A cell as shown: its decoded text and its number.
Shown CellShown(const Measurement& m, Item item, int n) {
  const auto cell = CellOf(m, item, n);
  if (!cell) return {};
  return Shown{platform::FromCp932(*cell), NumberIn(*cell), Shade::kNone};
}

Shown FigureShown(std::optional<double> value, int decimals) {
  if (!value) return {};
  return Shown{Fixed(*value, decimals), value, Shade::kNone};
}

Shown DifferenceShown(std::optional<double> left, std::optional<double> right) {
  const std::optional<double> d = LeftRightDifference(left, right);
  Shown shown = FigureShown(d, 1);
  shown.shade = ShadeOf(d);
  return shown;
}

Shown TimeShown(const Measurement& m) {
  const auto h = m.Cell(Item::kTime, 1), mi = m.Cell(Item::kTime, 2), s = m.Cell(Item::kTime, 3);
  if (!h || !mi || !s) return {};
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d:%02d", static_cast<int>(NumberIn(*h).value_or(0)),
                static_cast<int>(NumberIn(*mi).value_or(0)),
                static_cast<int>(NumberIn(*s).value_or(0)));
  return Shown{text, std::nullopt, Shade::kNone};
}

std::optional<double> WeightOf(const Measurement& m) { return NumberOf(m, Item::kWeight, 1); }

}  // namespace

std::span<const std::string_view> SessionColumns(Mode mode) {
  switch (mode) {
    case Mode::kMuscleStrength:
      return said::kMuscleStrengthColumns;
    case Mode::kIsometric:
      return said::kIsometricColumns;
    case Mode::kInitialRehabilitation:
      return said::kInitialRehabilitationColumns;
    case Mode::kExercise:
      return said::kExerciseColumns;
  }
  return {};
}

bool HasSides(Mode mode) { return mode != Mode::kIsometric; }

std::vector<Shown> SessionRow(Mode mode, const Measurement& m, std::string_view file_name) {
  std::vector<Shown> row;
  row.push_back(CellShown(m, Item::kDate, 1));
  row.push_back(TimeShown(m));
  const Layout at = LayoutOf(mode);
  const auto left = NumberOf(m, Item::kMaximum, at.left);
  const auto right = NumberOf(m, Item::kMaximum, at.right);
  const auto weight = WeightOf(m);
  switch (mode) {
    case Mode::kMuscleStrength:
      row.push_back(CellShown(m, Item::kStrengthSetting, 1));
      row.push_back(CellShown(m, Item::kMaximum, at.left));
      row.push_back(CellShown(m, Item::kMaximum, at.right));
      row.push_back(DifferenceShown(left, right));
      row.push_back(CellShown(m, Item::kWeight, 1));
      row.push_back(FigureShown(PerWeight(left, weight), 2));
      row.push_back(FigureShown(PerWeight(right, weight), 2));
      break;
    case Mode::kIsometric:
      row.push_back(CellShown(m, Item::kStrengthSetting, 1));
      for (int cell = 2; cell <= 5; ++cell) row.push_back(CellShown(m, Item::kMaximum, cell));
      row.push_back(FigureShown(PerWeight(left, weight), 2));
      break;
    case Mode::kInitialRehabilitation:
      row.push_back(CellShown(m, Item::kStrengthSetting, 1));
      row.push_back(CellShown(m, Item::kMaximum, 1));
      row.push_back(CellShown(m, Item::kMaximum, 2));
      row.push_back(CellShown(m, Item::kMaximum, at.left));
      row.push_back(CellShown(m, Item::kMaximum, at.right));
      row.push_back(DifferenceShown(left, right));
      row.push_back(FigureShown(PerWeight(left, weight), 2));
      row.push_back(FigureShown(PerWeight(right, weight), 2));
      break;
    case Mode::kExercise:
      row.push_back(CellShown(m, Item::kPedalOrigin, 1));
      row.push_back(CellShown(m, Item::kPedalDirection, 1));
      row.push_back(CellShown(m, Item::kCalories, 1));
      row.push_back(CellShown(m, Item::kMaximum, at.left));
      row.push_back(CellShown(m, Item::kMaximum, at.right));
      row.push_back(DifferenceShown(left, right));
      break;
  }
  row.push_back(Shown{std::string(file_name), std::nullopt, Shade::kNone});
  return row;
}

Session SessionOf(Mode mode, const Measurement& m) {
  const Layout at = LayoutOf(mode);
  Session s;
  s.when = m.WhenTaken();
  s.left = NumberOf(m, Item::kMaximum, at.left);
  s.right = NumberOf(m, Item::kMaximum, at.right);
  s.weight = WeightOf(m);
  s.difference = LeftRightDifference(s.left, s.right);
  if (mode == Mode::kMuscleStrength || mode == Mode::kInitialRehabilitation) {
    if (const auto cell = m.Cell(Item::kStrengthSetting, 1)) {
      s.setting = platform::FromCp932(text::TrimBlanks(*cell));
    }
  }
  return s;
}

Turns TurnsOf(Mode mode, const Measurement& detail) {
  const Layout at = LayoutOf(mode);
  Turns t;
  if (at.turn_width == 0) return t;
  const std::vector<std::string_view> cells = detail.Cells(Item::kPerTurn);
  const auto number = [&cells](std::size_t i) -> std::optional<double> {
    return i < cells.size() ? NumberIn(cells[i]) : std::nullopt;
  };
  const std::size_t width = static_cast<std::size_t>(at.turn_width);
  for (std::size_t first = 0; first < cells.size(); first += width) {
    t.left.push_back(number(first + static_cast<std::size_t>(at.turn_left) - 1));
    if (at.turn_right > 0) {
      t.right.push_back(number(first + static_cast<std::size_t>(at.turn_right) - 1));
    }
  }
  t.left_spread = SpreadOf(t.left);
  t.right_spread = SpreadOf(t.right);
  return t;
}

std::vector<Labelled> PatientBlock(const Measurement& m) {
  const auto text = [&m](Item item) { return platform::FromCp932(m.Text(item)); };
  return {{std::string(said::kPatientCode), text(Item::kPatientCode)},
          {std::string(said::kName), text(Item::kName)},
          {std::string(said::kSex), text(Item::kSex)},
          {std::string(said::kBirthDate), text(Item::kBirthDate)},
          {std::string(said::kHeight), text(Item::kHeight)},
          {std::string(said::kWeight), text(Item::kWeight)}};
}

std::vector<Labelled> SettingsOf(Mode mode, const Measurement& detail) {
  std::vector<Labelled> out;
  // Each caption of a group with the cell in its place.
  const auto add = [&](const model::HeaderGroup& g) {
    std::string_view captions = g.captions;
    for (int n = 1; !captions.empty(); ++n) {
      const std::size_t comma = captions.find(',');
      const auto cell = detail.Cell(g.item, n);
      out.push_back({std::string(captions.substr(0, comma)),
                     cell ? platform::FromCp932(*cell) : std::string()});
      captions.remove_prefix(comma == std::string_view::npos ? captions.size() : comma + 1);
    }
  };
  for (const model::HeaderGroup& g : model::CommonHeaderGroups()) {
    if (model::BitOf(g.item) >= model::BitOf(Item::kSeatBase) &&
        model::BitOf(g.item) <= model::BitOf(Item::kBackrestAngle)) {
      add(g);
    }
  }
  for (const model::HeaderGroup& g : model::TableOf(mode).setting_columns) {
    if (g.item != Item::kCalories) add(g);
  }
  return out;
}

std::vector<ResultRow> ResultsOf(Mode mode, const Measurement& detail) {
  const Layout at = LayoutOf(mode);
  const auto weight = WeightOf(detail);
  const auto pair = [&](std::string_view caption, int left, int right, bool difference) {
    ResultRow row{std::string(caption), CellShown(detail, Item::kMaximum, left),
                  CellShown(detail, Item::kMaximum, right), {}};
    if (difference) row.difference = DifferenceShown(row.left.number, row.right.number);
    return row;
  };
  const auto single = [&](std::string_view caption, int cell) {
    return ResultRow{std::string(caption), CellShown(detail, Item::kMaximum, cell), {}, {}};
  };
  const auto per_weight = [&]() {
    const auto left = NumberOf(detail, Item::kMaximum, at.left);
    const auto right = NumberOf(detail, Item::kMaximum, at.right);
    ResultRow row{std::string(said::kStrengthPerWeight), FigureShown(PerWeight(left, weight), 2),
                  FigureShown(PerWeight(right, weight), 2), {}};
    return row;
  };
  std::vector<ResultRow> rows;
  switch (mode) {
    case Mode::kMuscleStrength:
      rows = {pair(said::kMaximumStrength, at.left, at.right, true), per_weight()};
      break;
    case Mode::kIsometric:
      rows = {single(said::kMaximumTorque, 2), single(said::kPeakTime, 3),
              single(said::kImpulse, 4), single(said::kPeaksRecorded, 5), per_weight()};
      rows.back().right = {};
      break;
    case Mode::kInitialRehabilitation:
      rows = {pair(said::kMaximumStrength, at.left, at.right, true), per_weight(),
              pair(said::kCalories, 3, 4, false), single(said::kExerciseTime, 1),
              single(said::kTotalCalories, 2)};
      break;
    case Mode::kExercise:
      rows = {pair(said::kMaximumStrength, at.left, at.right, true),
              pair(said::kCalories, 3, 4, false), single(said::kExerciseTime, 1)};
      break;
  }
  return rows;
}

}  // namespace tallyx::progress
