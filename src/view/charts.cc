#include "view/charts.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "model/messages.h"
#include "progress/values.h"

namespace tallyx::view {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr Marker kSettingMarkers[] = {Marker::kCircle, Marker::kSquare, Marker::kTriangle,
                                      Marker::kDiamond};

double Or(std::optional<double> v) { return v.value_or(kNaN); }

QString Caption(model::Mode mode, int column) {
  return FromUtf8(progress::WaveColumnCaption(mode, column));
}

PlotObject Line(QString label, Style style) {
  PlotObject o;
  o.kind = PlotObject::Kind::kLine;
  o.label = std::move(label);
  o.style = style;
  return o;
}

PlotObject WaveOf(const std::shared_ptr<const progress::Waveform>& wave, int column, Style style,
                  QString label, double x_first, double x_last) {
  PlotObject o;
  o.kind = PlotObject::Kind::kWave;
  o.wave = wave;
  o.column = column;
  o.style = style;
  o.label = std::move(label);
  o.x_first = x_first;
  o.x_last = x_last;
  return o;
}

// The first and last numbers of a series, for an axis of seconds.
std::pair<double, double> EndsOf(std::span<const float> values) {
  double first = kNaN, last = kNaN;
  for (const float v : values) {
    if (!std::isnan(v)) {
      first = v;
      break;
    }
  }
  for (auto it = values.rbegin(); it != values.rend(); ++it) {
    if (!std::isnan(*it)) {
      last = *it;
      break;
    }
  }
  return {first, last};
}

}  // namespace

QString Format(std::string_view text, const QString& a1) {
  QString s = FromUtf8(text);
  s.replace(QStringLiteral("%1"), a1);
  return s;
}

QString Format(std::string_view text, const QString& a1, const QString& a2) {
  // Filled in one pass, so that a first value holding "%2" stays as it is.
  const QString s = FromUtf8(text);
  QString out;
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] == u'%' && i + 1 < s.size() && (s[i + 1] == u'1' || s[i + 1] == u'2')) {
      out += s[i + 1] == u'1' ? a1 : a2;
      ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

QColor ShadeColor(progress::Shade shade) {
  switch (shade) {
    case progress::Shade::kNotable:
      return QColor(0xff, 0xf3, 0xa8);
    case progress::Shade::kMarked:
      return QColor(0xff, 0xc4, 0xc4);
    case progress::Shade::kNone:
      break;
  }
  return QColor();
}

QFont GothicFont(double points) {
  QFont font;
  font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic"),
                    QStringLiteral("Yu Gothic"), QStringLiteral("MS Gothic"),
                    QStringLiteral("Noto Sans CJK JP")});
  font.setPointSizeF(points);
  return font;
}

Chart TrendChart(model::Mode mode, const progress::Folder& folder,
                 const progress::Patient& patient, bool per_weight) {
  Chart chart;
  chart.title = FromUtf8(model::kTrendCaption);
  chart.message = FromUtf8(model::kNoData);
  const bool sides = progress::HasSides(mode);

  // One pair of series per speed setting, in the order the settings first appear.
  std::vector<QString> settings;
  std::vector<PlotObject> lefts, rights;
  PlotObject difference = Line(FromUtf8(model::kDifferenceAxis), Style{});
  difference.style.color = QColor(0x30, 0x30, 0x30);
  difference.style.marker = Marker::kCircle;
  difference.style.width = 1.2;
  bool any = false;
  for (const std::uint32_t index : folder.SessionsOf(patient)) {
    const progress::Session s = progress::SessionOf(mode, folder.measurements[index]);
    if (!s.when) continue;
    any = true;
    const QString setting = FromUtf8(s.setting);
    auto found = std::find(settings.begin(), settings.end(), setting);
    if (found == settings.end()) {
      const Marker marker = kSettingMarkers[settings.size() % std::size(kSettingMarkers)];
      settings.push_back(setting);
      found = settings.end() - 1;
      const bool named = !setting.isEmpty();
      lefts.push_back(Line(!sides  ? QString()
                           : named ? Format(model::kLeftAtSpeed, setting)
                                   : FromUtf8(model::kLeft),
                           StyleOf(Side::kLeft, marker)));
      rights.push_back(Line(named ? Format(model::kRightAtSpeed, setting) : FromUtf8(model::kRight),
                            StyleOf(Side::kRight, marker)));
    }
    const std::size_t k = static_cast<std::size_t>(found - settings.begin());
    const double x = s.when->Days();
    const auto shown = [&](std::optional<double> v) {
      return per_weight ? progress::PerWeight(v, s.weight) : v;
    };
    lefts[k].points.emplace_back(x, Or(shown(s.left)));
    rights[k].points.emplace_back(x, Or(shown(s.right)));
    difference.points.emplace_back(x, Or(s.difference));
  }
  if (!any) return chart;

  Panel values;
  values.x.ticks = Axis::Ticks::kDates;
  values.x.title = FromUtf8(model::kDateAxis);
  values.y.title = FromUtf8(per_weight ? model::kStrengthPerWeightAxis
                            : sides    ? model::kStrengthAxis
                                       : model::kTorqueAxis);
  values.y.include_zero = true;
  values.weight = 2;
  for (std::size_t k = 0; k < settings.size(); ++k) {
    values.objects.push_back(std::move(lefts[k]));
    if (sides) values.objects.push_back(std::move(rights[k]));
  }
  chart.panels.push_back(std::move(values));
  if (sides) {
    Panel diff;
    diff.x = chart.panels.front().x;
    diff.y.title = FromUtf8(model::kDifferenceAxis);
    diff.y.include_zero = true;
    diff.levels = {{10, QStringLiteral("10 %")}, {20, QStringLiteral("20 %")}};
    difference.label.clear();
    diff.objects.push_back(std::move(difference));
    chart.panels.push_back(std::move(diff));
  }
  return chart;
}

std::vector<QString> SpreadNotes(model::Mode mode, const progress::Turns& turns) {
  std::vector<QString> notes;
  const auto note = [&](std::string_view side, const std::optional<progress::Spread>& spread) {
    if (!spread) return;
    QString text = Format(model::kMean, FromUtf8(progress::Fixed(spread->mean, 1)));
    if (spread->variation) {
      text += QStringLiteral("　") +
              Format(model::kVariation, FromUtf8(progress::Fixed(*spread->variation, 1)));
    }
    notes.push_back(side.empty() ? text : FromUtf8(side) + QStringLiteral("：") + text);
  };
  const bool sides = progress::HasSides(mode);
  note(sides ? model::kLeft : std::string_view(), turns.left_spread);
  if (sides) note(model::kRight, turns.right_spread);
  return notes;
}

Chart TurnChart(model::Mode mode, const progress::Turns& turns) {
  Chart chart;
  chart.title = FromUtf8(model::kTurnCaption);
  chart.message = FromUtf8(model::kNoData);
  const bool sides = progress::HasSides(mode);
  if (turns.left.empty() && turns.right.empty()) return chart;

  Panel panel;
  panel.x.ticks = Axis::Ticks::kWhole;
  panel.x.title = FromUtf8(sides ? model::kTurnAxis : model::kPeakAxis);
  panel.y.title = FromUtf8(model::kPerTurnAxis);
  panel.y.include_zero = true;
  const auto bars = [&](const std::vector<std::optional<double>>& values, Side side, double offset,
                        double width, QString label) {
    PlotObject o;
    o.kind = PlotObject::Kind::kBars;
    o.style = StyleOf(side);
    o.bar_offset = offset;
    o.bar_width = width;
    o.label = std::move(label);
    for (std::size_t i = 0; i < values.size(); ++i) {
      o.points.emplace_back(static_cast<double>(i + 1), Or(values[i]));
    }
    panel.objects.push_back(std::move(o));
  };
  if (sides) {
    bars(turns.left, Side::kLeft, -0.2, 0.38, FromUtf8(model::kLeft));
    bars(turns.right, Side::kRight, 0.2, 0.38, FromUtf8(model::kRight));
  } else {
    bars(turns.left, Side::kLeft, 0, 0.6, QString());
  }
  panel.notes = SpreadNotes(mode, turns);
  chart.panels.push_back(std::move(panel));
  return chart;
}

bool HasAngleView(model::Mode mode) {
  return mode == model::Mode::kMuscleStrength || mode == model::Mode::kInitialRehabilitation;
}

Chart WaveChart(model::Mode mode, std::shared_ptr<const progress::Waveform> wave, WaveView view) {
  Chart chart;
  chart.title = FromUtf8(model::kWaveCaption);
  chart.message = FromUtf8(model::kNoData);
  if (wave == nullptr || wave->samples == 0) return chart;
  const progress::WaveColumns c = progress::WaveColumnsOf(mode);
  const double n = static_cast<double>(wave->samples);

  if (mode == model::Mode::kExercise) {
    auto [first, last] = EndsOf(wave->Of(c.time));
    if (std::isnan(first) || std::isnan(last) || !(last > first)) {
      first = 1;
      last = n;
    }
    const auto panel = [&](std::initializer_list<int> columns, QString title) {
      Panel p;
      p.x.title = Caption(mode, c.time);
      p.x.tight = true;
      p.y.title = std::move(title);
      Side side = Side::kLeft;
      for (const int column : columns) {
        if (column < 0) continue;
        p.objects.push_back(WaveOf(wave, column, StyleOf(side), Caption(mode, column), first, last));
        side = Side::kRight;
      }
      if (p.objects.size() == 1) p.objects.front().label.clear();
      chart.panels.push_back(std::move(p));
    };
    panel({c.load}, Caption(mode, c.load));
    panel({c.speed, c.assist_speed}, QStringLiteral("r/min"));
    panel({c.heart_rate}, Caption(mode, c.heart_rate));
  } else if (view == WaveView::kAngle && HasAngleView(mode)) {
    Panel p;
    p.x.title = Caption(mode, c.angle);
    p.x.min = 0;
    p.x.max = 360;
    p.x.step = 90;
    p.y.title = Caption(mode, c.load);
    PlotObject o;
    o.kind = PlotObject::Kind::kCurves;
    o.wave = wave;
    o.column = c.load;
    o.x_column = c.angle;
    o.style = StyleOf(Side::kLeft);
    o.ranges = progress::TurnsByAngle(wave->Of(c.angle));
    p.objects.push_back(std::move(o));
    chart.panels.push_back(std::move(p));
  } else {
    Panel p;
    p.x.title = FromUtf8(model::kSampleAxis);
    p.x.tight = true;
    p.y.title = Caption(mode, c.load);
    p.objects.push_back(WaveOf(wave, c.load, StyleOf(Side::kLeft), Caption(mode, c.load), 1, n));
    if (c.speed >= 0) {
      p.y2.title = Caption(mode, c.speed);
      PlotObject speed = WaveOf(wave, c.speed, StyleOf(Side::kRight), Caption(mode, c.speed), 1, n);
      speed.right_axis = true;
      p.objects.push_back(std::move(speed));
    } else {
      p.objects.front().label.clear();
    }
    chart.panels.push_back(std::move(p));
  }
  if (wave->truncated) chart.panels.back().notes.push_back(FromUtf8(model::kTruncated));
  return chart;
}

}  // namespace tallyx::view
