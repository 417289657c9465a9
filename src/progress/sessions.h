// What the viewer shows of a patient's measurements, per mode: the session table, the trend,
// the per-turn maxima, and the rows of the report. Texts are UTF-8, decoded for display from the
// measurement's cells.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/model.h"
#include "progress/folder.h"
#include "progress/measurement.h"
#include "progress/values.h"

namespace tallyx::progress {

// One shown value: its text (a cell as it stands, or a figure with its decimals), its number
// when it is one, and its shade (left-right differences only).
struct Shown {
  std::string text;
  std::optional<double> number;
  Shade shade = Shade::kNone;
};

// The session table's column captions for `mode`, in order, the last being "ファイル名".
std::span<const std::string_view> SessionColumns(model::Mode mode);
// One row of the table: a value for each column.
std::vector<Shown> SessionRow(model::Mode mode, const Measurement& m, std::string_view file_name);

// The values a measurement gives the charts.
struct Session {
  std::optional<When> when;        // none when the date cell is no date
  std::optional<double> left;      // mode 1: the maximum torque
  std::optional<double> right;     // none in mode 1
  std::optional<double> weight;    // kg
  std::optional<double> difference;  // 左右差 (%)
  std::string setting;  // the speed setting (modes 0 and 2), UTF-8 trimmed; else empty
};
Session SessionOf(model::Mode mode, const Measurement& m);

// Whether the mode has a left and a right side (all but the isometric mode).
bool HasSides(model::Mode mode);

// The per-turn maxima of one measurement read with every item: left and right (mode 1: the
// peaks, in `left`; modes without turns: none), with their spread.
struct Turns {
  std::vector<std::optional<double>> left;
  std::vector<std::optional<double>> right;
  std::optional<Spread> left_spread;
  std::optional<Spread> right_spread;
};
Turns TurnsOf(model::Mode mode, const Measurement& detail);

// A labelled value of the report's patient block or settings list.
struct Labelled {
  std::string label;
  std::string value;
};
// "患者コード", "名前", "性別", "生年月日", "身長(cm)", "体重(kg)" of a measurement.
std::vector<Labelled> PatientBlock(const Measurement& m);
// The seat and pedal settings (items 8 to 12), then the mode's settings (items 13 to 17 as the
// mode names them), each with its caption.
std::vector<Labelled> SettingsOf(model::Mode mode, const Measurement& detail);

// The results of one measurement for its report page: with sides, rows of a caption and the
// left, right and 左右差 values; in mode 1 rows of a caption and its value (in `left`).
struct ResultRow {
  std::string caption;
  Shown left;
  Shown right;
  Shown difference;
};
std::vector<ResultRow> ResultsOf(model::Mode mode, const Measurement& detail);

}  // namespace tallyx::progress
