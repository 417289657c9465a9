// The viewer's charts, built from what the layer below reads: a patient's trend, one
// measurement's per-turn maxima and its waveform. The window, the image and the report paint the
// same charts.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <memory>
#include <string_view>

#include "model/model.h"
#include "progress/folder.h"
#include "progress/sessions.h"
#include "progress/values.h"
#include "progress/waveform.h"
#include "view/plot.h"

namespace tallyx::view {

// The program's texts are UTF-8.
inline QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
// A catalogue text with "%1", "%2" filled in.
QString Format(std::string_view text, const QString& a1);
QString Format(std::string_view text, const QString& a1, const QString& a2);

// The background of a left-right difference: light yellow from 10 %, light red from 20 %; none
// (invalid) below.
QColor ShadeColor(progress::Shade shade);

// The Japanese gothic face of the desktop, at `points`.
QFont GothicFont(double points);

// "経過": left and right (the isometric mode: the maximum torque) against the date, one series
// per speed setting, per kg of body weight with `per_weight`; beneath, the left-right
// difference with its 10 % and 20 % lines. Undated measurements are left out.
Chart TrendChart(model::Mode mode, const progress::Folder& folder,
                 const progress::Patient& patient, bool per_weight);

// "各回の最大値": each turn's maxima as bars, left and right side by side, with the mean and the
// coefficient of variation of each side beneath.
Chart TurnChart(model::Mode mode, const progress::Turns& turns);
// The texts beneath the per-turn chart, one per side.
std::vector<QString> SpreadNotes(model::Mode mode, const progress::Turns& turns);

enum class WaveView { kTime, kAngle };
// Whether the mode's waveform has the angle view beside the time view.
bool HasAngleView(model::Mode mode);
// "波形": the mode's waveform columns against the sample number (the pedal modes' "時間"), the
// angle ("角度": one curve per turn) or, in the exercise mode, the seconds in three panels.
Chart WaveChart(model::Mode mode, std::shared_ptr<const progress::Waveform> wave, WaveView view);

}  // namespace tallyx::view
