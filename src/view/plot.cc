#include "view/plot.h"

#include <QDate>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

namespace tallyx::view {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const QColor kLeftColor(0x1f, 0x5f, 0xbf);
const QColor kRightColor(0xe6, 0x7e, 0x00);
const QColor kGridColor(0xdd, 0xdd, 0xdd);
const QColor kLevelColor(0x80, 0x80, 0x80);
const QDate kEpoch(1970, 1, 1);

struct Range {
  double lo = std::numeric_limits<double>::infinity();
  double hi = -std::numeric_limits<double>::infinity();
  bool empty() const { return !(lo <= hi); }
  void Take(double v) {
    if (std::isnan(v)) return;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
};

// The samples of a waveform object, which are all a chart keeps of them.
std::span<const float> SamplesOf(const PlotObject& o, int column) {
  if (o.wave == nullptr) return {};
  return o.wave->Of(column);
}

Range XRangeOf(const PlotObject& o) {
  Range r;
  switch (o.kind) {
    case PlotObject::Kind::kLine:
      for (const QPointF& p : o.points) {
        if (!std::isnan(p.y())) r.Take(p.x());
      }
      break;
    case PlotObject::Kind::kBars:
      for (const QPointF& p : o.points) {
        r.Take(p.x() - 0.5);
        r.Take(p.x() + 0.5);
      }
      break;
    case PlotObject::Kind::kWave:
      if (!SamplesOf(o, o.column).empty()) {
        r.Take(o.x_first);
        r.Take(o.x_last);
      }
      break;
    case PlotObject::Kind::kCurves: {
      const auto xs = SamplesOf(o, o.x_column);
      if (!xs.empty()) {
        const progress::Envelope e = progress::EnvelopeOf(xs, 0, xs.size(), 1);
        r.Take(e.min.empty() ? kNaN : e.min[0]);
        r.Take(e.max.empty() ? kNaN : e.max[0]);
      }
      break;
    }
  }
  return r;
}

Range YRangeOf(const PlotObject& o) {
  Range r;
  switch (o.kind) {
    case PlotObject::Kind::kLine:
      for (const QPointF& p : o.points) r.Take(p.y());
      break;
    case PlotObject::Kind::kBars:
      for (const QPointF& p : o.points) {
        if (std::isnan(p.y())) continue;
        r.Take(p.y());
        r.Take(0);
      }
      break;
    case PlotObject::Kind::kWave:
    case PlotObject::Kind::kCurves: {
      const auto ys = SamplesOf(o, o.column);
      if (!ys.empty()) {
        const progress::Envelope e = progress::EnvelopeOf(ys, 0, ys.size(), 1);
        r.Take(e.min.empty() ? kNaN : e.min[0]);
        r.Take(e.max.empty() ? kNaN : e.max[0]);
      }
      break;
    }
  }
  return r;
}

int DecimalsOf(double step) {
  if (step <= 0 || !std::isfinite(step)) return 0;
  int decimals = 0;
  double scaled = step;
  while (decimals < 6 && std::fabs(scaled - std::round(scaled)) > 1e-6 * std::max(1.0, scaled)) {
    scaled *= 10;
    ++decimals;
  }
  return decimals;
}

QString NumberText(double v, int decimals) {
  if (std::fabs(v) < 1e-9) v = 0;
  return QString::number(v, 'f', decimals);
}

QDate DateOfDays(double days) { return kEpoch.addDays(static_cast<qint64>(std::floor(days))); }

// The limits and ticks of one axis, and the texts beside the ticks.
struct Scale {
  double lo = 0, hi = 1;
  std::vector<double> ticks;
  std::vector<QString> labels;
  double Map(double v, double from, double to) const {
    return from + (v - lo) / (hi - lo) * (to - from);
  }
};

std::vector<double> DateTicks(double lo, double hi, int target) {
  static constexpr int kDaySteps[] = {1, 2, 7, 14};
  static constexpr int kMonthSteps[] = {1, 2, 3, 6, 12, 24, 60, 120};
  const double span = hi - lo;
  std::vector<double> ticks;
  for (const int step : kDaySteps) {
    if (span / step > target) continue;
    for (double d = std::ceil(lo / step) * step; d <= hi + 1e-9; d += step) ticks.push_back(d);
    return ticks;
  }
  for (const int months : kMonthSteps) {
    if (span / (30.4 * months) > target && months != kMonthSteps[std::size(kMonthSteps) - 1]) {
      continue;
    }
    // Month starts whose month is a multiple of the step in the year (January for a year on).
    const QDate first = DateOfDays(lo);
    QDate d(first.year(), first.month(), 1);
    while (((d.month() - 1) % months) != 0 || kEpoch.daysTo(d) < lo) d = d.addMonths(1);
    for (; kEpoch.daysTo(d) <= hi + 1e-9; d = d.addMonths(months)) {
      ticks.push_back(static_cast<double>(kEpoch.daysTo(d)));
    }
    return ticks;
  }
  return ticks;
}

// Ticks for the range `data` on an axis `length` long, whose labels are at most `room` apart
// per label character count: fewer ticks are tried until their labels fit.
Scale ScaleOf(const Axis& axis, Range data, double length, const QFontMetricsF& fm,
              bool horizontal) {
  if (axis.include_zero) data.Take(0);
  if (axis.min) data.lo = *axis.min;
  if (axis.max) data.hi = *axis.max;
  if (data.empty()) data = Range{0, 1};
  if (data.hi - data.lo <= 0) {
    const double pad = axis.ticks == Axis::Ticks::kDates ? 3
                       : axis.ticks == Axis::Ticks::kWhole
                           ? 1
                           : std::max(1.0, std::fabs(data.lo) * 0.1);
    data.lo -= pad;
    data.hi += pad;
    if (axis.include_zero && data.lo < 0 && data.lo + pad >= 0) data.lo = 0;
  }
  const bool fixed = axis.min.has_value() && axis.max.has_value();
  const double per_label = horizontal ? 0 : fm.height() * 1.8;
  Scale best;
  for (int target = horizontal ? std::max(2, static_cast<int>(length / (fm.height() * 3))) : 
                                 std::max(2, static_cast<int>(length / per_label));
       target >= 1; --target) {
    Scale s;
    double step = 0;
    if (axis.ticks == Axis::Ticks::kDates) {
      s.lo = data.lo;
      s.hi = data.hi;
      if (!axis.tight && !fixed) {
        const double pad = std::max(0.5, (data.hi - data.lo) * 0.04);
        s.lo -= pad;
        s.hi += pad;
      }
      s.ticks = DateTicks(s.lo, s.hi, target);
      int year = -1;
      for (const double t : s.ticks) {
        const QDate d = DateOfDays(t);
        s.labels.push_back(d.year() != year ? d.toString(QStringLiteral("yyyy/M/d"))
                                            : d.toString(QStringLiteral("M/d")));
        year = d.year();
      }
    } else {
      if (axis.step) {
        step = *axis.step;
        for (double t = std::ceil(data.lo / step - 1e-9) * step; t <= data.hi + 1e-9; t += step) {
          s.ticks.push_back(t);
        }
      } else {
        s.ticks = NiceTicks(data.lo, data.hi, target, &step);
        if (axis.ticks == Axis::Ticks::kWhole && step < 1) {
          step = 1;
          s.ticks.clear();
          for (double t = std::floor(data.lo); t <= std::ceil(data.hi); t += 1) s.ticks.push_back(t);
        }
      }
      if (fixed || axis.tight) {
        s.lo = data.lo;
        s.hi = data.hi;
        std::erase_if(s.ticks, [&](double t) { return t < s.lo - 1e-9 || t > s.hi + 1e-9; });
      } else {
        s.lo = std::min(data.lo, s.ticks.empty() ? data.lo : s.ticks.front());
        s.hi = std::max(data.hi, s.ticks.empty() ? data.hi : s.ticks.back());
      }
      const int decimals = DecimalsOf(step);
      for (const double t : s.ticks) s.labels.push_back(NumberText(t, decimals));
    }
    if (s.hi <= s.lo) s.hi = s.lo + 1;
    best = s;
    if (!horizontal) break;
    // Horizontal labels fit when each has its width and a gap before the next.
    double widest = 0;
    for (const QString& l : s.labels) widest = std::max(widest, fm.horizontalAdvance(l));
    const double room = s.ticks.size() > 1 ? length / (s.hi - s.lo) *
                                                 (s.ticks[1] - s.ticks[0])
                                           : length;
    if (widest + fm.height() <= room || target == 1) break;
  }
  return best;
}

// A pen of `width` points in a style, on a device with `unit` pixels per point.
QPen PenOf(const Style& style, double unit) {
  QPen pen(style.color, style.width * unit, style.line, Qt::FlatCap, Qt::RoundJoin);
  return pen;
}

void DrawMarker(QPainter& p, Marker marker, QPointF at, double size, const QColor& color) {
  if (marker == Marker::kNone) return;
  p.save();
  p.setPen(QPen(color.darker(120), size * 0.2));
  p.setBrush(color);
  const double r = size / 2;
  switch (marker) {
    case Marker::kCircle:
      p.drawEllipse(at, r, r);
      break;
    case Marker::kSquare:
      p.drawRect(QRectF(at.x() - r * 0.9, at.y() - r * 0.9, r * 1.8, r * 1.8));
      break;
    case Marker::kTriangle: {
      const QPointF tri[] = {{at.x(), at.y() - r * 1.1}, {at.x() - r, at.y() + r * 0.8},
                             {at.x() + r, at.y() + r * 0.8}};
      p.drawPolygon(tri, 3);
      break;
    }
    case Marker::kDiamond: {
      const QPointF dia[] = {
          {at.x(), at.y() - r * 1.2}, {at.x() + r, at.y()}, {at.x(), at.y() + r * 1.2}, {at.x() - r, at.y()}};
      p.drawPolygon(dia, 4);
      break;
    }
    case Marker::kNone:
      break;
  }
  p.restore();
}

QBrush BarBrush(const Style& style) {
  return style.hatched ? QBrush(style.color, Qt::BDiagPattern) : QBrush(style.color);
}

// The legend's sample of an object's style, `w` wide, centred on `y`.
void DrawLegendSample(QPainter& p, const PlotObject& o, double x, double y, double w, double unit) {
  if (o.kind == PlotObject::Kind::kBars) {
    const QRectF box(x + w * 0.25, y - w * 0.25, w * 0.5, w * 0.5);
    p.fillRect(box, Qt::white);
    p.fillRect(box, BarBrush(o.style));
    p.setPen(QPen(o.style.color, unit));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box);
    return;
  }
  p.setPen(PenOf(o.style, unit));
  p.drawLine(QPointF(x, y), QPointF(x + w, y));
  DrawMarker(p, o.style.marker, QPointF(x + w / 2, y), 5 * unit, o.style.color);
}

class PanelPainter {
 public:
  PanelPainter(QPainter& p, const QFont& font, double unit) : p_(p), font_(font), unit_(unit) {}

  // The room the panel's texts take outside its plot area, for aligning stacked panels.
  struct Margins {
    double left = 0, right = 0, top = 0, bottom = 0;
  };

  Margins MarginsOf(const Panel& panel, const Scale& y, const std::optional<Scale>& y2,
                    bool x_labels, double width) const {
    const QFontMetricsF fm(font_, p_.device());
    Margins m;
    double widest = 0;
    for (const QString& l : y.labels) widest = std::max(widest, fm.horizontalAdvance(l));
    m.left = widest + fm.height() * 1.6;
    if (y2) {
      double widest2 = 0;
      for (const QString& l : y2->labels) widest2 = std::max(widest2, fm.horizontalAdvance(l));
      m.right = widest2 + fm.height() * 1.6;
    } else {
      m.right = fm.height() * 0.8;
      for (const Level& level : panel.levels) {
        m.right = std::max(m.right, fm.horizontalAdvance(level.label) + fm.height() * 0.6);
      }
    }
    // The legend's rows, and room for the top tick's label, which stands half above the plot.
    m.top = fm.height() * 1.4 * LegendRows(panel, width) + fm.height() * 0.5;
    m.bottom = fm.height() * 0.4 + fm.height() * 1.25 * panel.notes.size();
    if (x_labels) m.bottom += fm.height() * 1.3;
    if (x_labels && !panel.x.title.isEmpty()) m.bottom += fm.height() * 1.1;
    return m;
  }

  int LegendRows(const Panel& panel, double width) const {
    const QFontMetricsF fm(font_, p_.device());
    double x = panel.title.isEmpty() ? 0 : fm.horizontalAdvance(panel.title) + fm.height() * 2;
    int rows = 1;
    for (const PlotObject& o : panel.objects) {
      if (o.label.isEmpty()) continue;
      const double w = EntryWidth(fm, o);
      if (x + w > width && x > 0) {
        ++rows;
        x = 0;
      }
      x += w;
    }
    return rows;
  }

  void Paint(const Panel& panel, const QRectF& area, const Margins& m, const Scale& x,
             const Scale& y, const std::optional<Scale>& y2, bool x_labels) {
    const QFontMetricsF fm(font_, p_.device());
    p_.setFont(font_);
    const QRectF plot(area.left() + m.left, area.top() + m.top, area.width() - m.left - m.right,
                      area.height() - m.top - m.bottom);
    if (plot.width() <= 1 || plot.height() <= 1) return;
    DrawHeading(panel, area, fm);

    // Grid, frame and reference lines.
    p_.setPen(QPen(kGridColor, 0.6 * unit_));
    for (const double t : x.ticks) {
      const double px = x.Map(t, plot.left(), plot.right());
      p_.drawLine(QPointF(px, plot.top()), QPointF(px, plot.bottom()));
    }
    for (const double t : y.ticks) {
      const double py = y.Map(t, plot.bottom(), plot.top());
      p_.drawLine(QPointF(plot.left(), py), QPointF(plot.right(), py));
    }
    double last_label = std::numeric_limits<double>::infinity();
    for (const Level& level : panel.levels) {
      if (level.y < y.lo || level.y > y.hi) continue;
      const double py = y.Map(level.y, plot.bottom(), plot.top());
      p_.setPen(QPen(kLevelColor, 0.9 * unit_, Qt::DashDotLine));
      p_.drawLine(QPointF(plot.left(), py), QPointF(plot.right(), py));
      // A label too close to the one below it moves up beside its line rather than over it.
      if (!y2) {
        const double at =
            std::max(std::min(py, last_label - fm.height()), area.top() + fm.height() / 2);
        last_label = at;
        p_.setPen(kLevelColor.darker(130));
        p_.drawText(QPointF(plot.right() + fm.height() * 0.3, at + fm.ascent() / 2 - fm.descent()),
                    level.label);
      }
    }

    p_.save();
    p_.setClipRect(plot.adjusted(-unit_ * 4, -unit_ * 4, unit_ * 4, unit_ * 4));
    for (const PlotObject& o : panel.objects) {
      const Scale& ys = o.right_axis && y2 ? *y2 : y;
      DrawObject(o, plot, x, ys);
    }
    p_.restore();

    p_.setPen(QPen(Qt::black, 0.8 * unit_));
    p_.setBrush(Qt::NoBrush);
    p_.drawRect(plot);

    // Tick labels and axis titles.
    p_.setPen(Qt::black);
    const double gap = fm.height() * 0.3;
    for (std::size_t i = 0; i < y.ticks.size(); ++i) {
      const double py = y.Map(y.ticks[i], plot.bottom(), plot.top());
      const QRectF r(area.left(), py - fm.height() / 2, m.left - gap, fm.height());
      p_.drawText(r, Qt::AlignRight | Qt::AlignVCenter, y.labels[i]);
    }
    if (y2) {
      for (std::size_t i = 0; i < y2->ticks.size(); ++i) {
        const double py = y2->Map(y2->ticks[i], plot.bottom(), plot.top());
        const QRectF r(plot.right() + gap, py - fm.height() / 2, m.right - gap, fm.height());
        p_.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, y2->labels[i]);
      }
    }
    if (x_labels) {
      for (std::size_t i = 0; i < x.ticks.size(); ++i) {
        const double px = x.Map(x.ticks[i], plot.left(), plot.right());
        const double w = fm.horizontalAdvance(x.labels[i]) + fm.height();
        const QRectF r(px - w / 2, plot.bottom() + gap, w, fm.height());
        p_.drawText(r, Qt::AlignCenter, x.labels[i]);
      }
      if (!panel.x.title.isEmpty()) {
        const QRectF r(plot.left(), plot.bottom() + gap + fm.height() * 1.2, plot.width(),
                       fm.height());
        p_.drawText(r, Qt::AlignCenter, panel.x.title);
      }
    }
    DrawVerticalTitle(panel.y.title, area.left(), plot, fm, false);
    if (y2) DrawVerticalTitle(panel.y2.title, area.right() - fm.height(), plot, fm, true);

    double note_y = plot.bottom() + gap + (x_labels ? fm.height() * 1.3 : 0) +
                    (x_labels && !panel.x.title.isEmpty() ? fm.height() * 1.1 : 0);
    for (const QString& note : panel.notes) {
      p_.drawText(QRectF(plot.left(), note_y, area.right() - plot.left(), fm.height() * 1.2),
                  Qt::AlignLeft | Qt::AlignVCenter, note);
      note_y += fm.height() * 1.25;
    }
  }

 private:
  double EntryWidth(const QFontMetricsF& fm, const PlotObject& o) const {
    return fm.height() * 2.2 + fm.horizontalAdvance(o.label) + fm.height() * 1.2;
  }

  void DrawHeading(const Panel& panel, const QRectF& area, const QFontMetricsF& fm) {
    double x = area.left();
    double y = area.top();
    if (!panel.title.isEmpty()) {
      QFont bold = font_;
      bold.setBold(true);
      p_.setFont(bold);
      p_.setPen(Qt::black);
      p_.drawText(QRectF(x, y, area.width(), fm.height() * 1.3), Qt::AlignLeft | Qt::AlignVCenter,
                  panel.title);
      x += QFontMetricsF(bold, p_.device()).horizontalAdvance(panel.title) + fm.height() * 2;
      p_.setFont(font_);
    }
    for (const PlotObject& o : panel.objects) {
      if (o.label.isEmpty()) continue;
      const double w = EntryWidth(fm, o);
      if (x + w > area.right() && x > area.left()) {
        x = area.left();
        y += fm.height() * 1.4;
      }
      const double mid = y + fm.height() * 0.65;
      DrawLegendSample(p_, o, x, mid, fm.height() * 1.8, unit_);
      p_.setPen(Qt::black);
      p_.drawText(QRectF(x + fm.height() * 2.2, y, w, fm.height() * 1.3),
                  Qt::AlignLeft | Qt::AlignVCenter, o.label);
      x += w;
    }
  }

  void DrawVerticalTitle(const QString& title, double left, const QRectF& plot,
                         const QFontMetricsF& fm, bool right) {
    if (title.isEmpty()) return;
    p_.save();
    p_.translate(left + fm.height() / 2, plot.center().y());
    p_.rotate(right ? 90 : -90);
    const double w = std::max(plot.height(), fm.horizontalAdvance(title) + fm.height());
    p_.drawText(QRectF(-w / 2, -fm.height() / 2, w, fm.height()), Qt::AlignCenter, title);
    p_.restore();
  }

  void DrawObject(const PlotObject& o, const QRectF& plot, const Scale& x, const Scale& y) {
    const auto px = [&](double v) { return x.Map(v, plot.left(), plot.right()); };
    const auto py = [&](double v) { return y.Map(v, plot.bottom(), plot.top()); };
    switch (o.kind) {
      case PlotObject::Kind::kLine: {
        p_.setPen(PenOf(o.style, unit_));
        p_.setBrush(Qt::NoBrush);
        QPolygonF run;
        for (const QPointF& pt : o.points) {
          if (std::isnan(pt.y())) {
            if (run.size() > 1) p_.drawPolyline(run);
            run.clear();
            continue;
          }
          run << QPointF(px(pt.x()), py(pt.y()));
        }
        if (run.size() > 1) p_.drawPolyline(run);
        for (const QPointF& pt : o.points) {
          if (!std::isnan(pt.y())) {
            DrawMarker(p_, o.style.marker, QPointF(px(pt.x()), py(pt.y())), 5 * unit_,
                       o.style.color);
          }
        }
        break;
      }
      case PlotObject::Kind::kBars: {
        const double base = py(std::clamp(0.0, y.lo, y.hi));
        for (const QPointF& pt : o.points) {
          if (std::isnan(pt.y())) continue;
          const double left = px(pt.x() + o.bar_offset - o.bar_width / 2);
          const double right = px(pt.x() + o.bar_offset + o.bar_width / 2);
          const QRectF bar(QPointF(left, py(pt.y())), QPointF(right, base));
          p_.fillRect(bar.normalized(), Qt::white);
          p_.fillRect(bar.normalized(), BarBrush(o.style));
          p_.setPen(QPen(o.style.color.darker(110), 0.8 * unit_));
          p_.setBrush(Qt::NoBrush);
          p_.drawRect(bar.normalized());
        }
        break;
      }
      case PlotObject::Kind::kWave:
        DrawWave(o, plot, x, y);
        break;
      case PlotObject::Kind::kCurves:
        DrawCurves(o, plot, x, y);
        break;
    }
  }

  // Each pixel column of the samples' span shows their minimum and maximum there: the drawing
  // costs the plot's width, whatever the number of samples.
  void DrawWave(const PlotObject& o, const QRectF& plot, const Scale& x, const Scale& y) {
    const auto values = SamplesOf(o, o.column);
    if (values.empty()) return;
    const double from = x.Map(o.x_first, plot.left(), plot.right());
    const double to = x.Map(o.x_last, plot.left(), plot.right());
    const double pixels = std::fabs(to - from) * p_.device()->devicePixelRatioF();
    const int columns = std::clamp(static_cast<int>(pixels / std::max(1.0, unit_ * 0.5)), 1,
                                   static_cast<int>(std::min<std::size_t>(values.size(), 20000)));
    const progress::Envelope e = progress::EnvelopeOf(values, 0, values.size(), columns);
    QPen pen = PenOf(o.style, unit_);
    pen.setWidthF(std::min(pen.widthF(), 1.0 * unit_));
    p_.setPen(pen);
    QPolygonF run;
    const std::size_t n = std::min(e.min.size(), e.max.size());
    for (std::size_t i = 0; i < n; ++i) {
      const double cx = from + (to - from) * (i + 0.5) / n;
      if (std::isnan(e.min[i]) || std::isnan(e.max[i])) {
        if (run.size() > 1) p_.drawPolyline(run);
        run.clear();
        continue;
      }
      const double a = y.Map(e.min[i], plot.bottom(), plot.top());
      const double b = y.Map(e.max[i], plot.bottom(), plot.top());
      // Alternating ends, so that a rising and a falling stretch both stay one connected line.
      if (i % 2 == 0) {
        run << QPointF(cx, a) << QPointF(cx, b);
      } else {
        run << QPointF(cx, b) << QPointF(cx, a);
      }
    }
    if (run.size() > 1) p_.drawPolyline(run);
  }

  // One curve per range, each reduced to a minimum and maximum per pixel column of x.
  void DrawCurves(const PlotObject& o, const QRectF& plot, const Scale& x, const Scale& y) {
    const auto xs = SamplesOf(o, o.x_column);
    const auto ys = SamplesOf(o, o.column);
    const std::size_t n = std::min(xs.size(), ys.size());
    if (n == 0) return;
    const int columns = std::clamp(static_cast<int>(plot.width() / std::max(0.5, unit_ * 0.5)), 1,
                                   4000);
    std::vector<float> lo(columns), hi(columns);
    QPen pen = PenOf(o.style, unit_);
    pen.setWidthF(0.8 * unit_);
    QColor c = o.style.color;
    if (o.ranges.size() > 8) c.setAlphaF(std::max(0.2, 8.0 / std::min<std::size_t>(o.ranges.size(), 48)));
    pen.setColor(c);
    p_.setPen(pen);
    // Beyond a few dozen turns, the band every turn covers is drawn, and over it an even choice
    // of turns: a long waveform costs the same drawing as a short one.
    constexpr std::size_t kMostCurves = 48;
    std::vector<progress::SampleRange> drawn = o.ranges;
    if (o.ranges.size() > kMostCurves) {
      DrawBand(xs, ys, n, plot, x, y, columns, o.style.color);
      drawn.clear();
      for (std::size_t k = 0; k < kMostCurves; ++k) {
        drawn.push_back(o.ranges[k * o.ranges.size() / kMostCurves]);
      }
    }
    for (const progress::SampleRange& r : drawn) {
      std::fill(lo.begin(), lo.end(), std::numeric_limits<float>::quiet_NaN());
      std::fill(hi.begin(), hi.end(), std::numeric_limits<float>::quiet_NaN());
      for (std::size_t i = r.begin; i < std::min(r.end, n); ++i) {
        if (std::isnan(xs[i]) || std::isnan(ys[i])) continue;
        const double f = (xs[i] - x.lo) / (x.hi - x.lo);
        const int col = std::clamp(static_cast<int>(f * columns), 0, columns - 1);
        if (std::isnan(lo[col]) || ys[i] < lo[col]) lo[col] = ys[i];
        if (std::isnan(hi[col]) || ys[i] > hi[col]) hi[col] = ys[i];
      }
      QPolygonF run;
      for (int col = 0; col < columns; ++col) {
        if (std::isnan(lo[col])) continue;
        const double cx = plot.left() + plot.width() * (col + 0.5) / columns;
        const double a = y.Map(lo[col], plot.bottom(), plot.top());
        const double b = y.Map(hi[col], plot.bottom(), plot.top());
        if (col % 2 == 0) {
          run << QPointF(cx, a) << QPointF(cx, b);
        } else {
          run << QPointF(cx, b) << QPointF(cx, a);
        }
      }
      if (run.size() > 1) p_.drawPolyline(run);
    }
  }

  // The minimum and maximum of all samples per pixel column of x, as one light area.
  void DrawBand(std::span<const float> xs, std::span<const float> ys, std::size_t n,
                const QRectF& plot, const Scale& x, const Scale& y, int columns, QColor color) {
    std::vector<float> lo(columns, std::numeric_limits<float>::quiet_NaN());
    std::vector<float> hi(columns, std::numeric_limits<float>::quiet_NaN());
    for (std::size_t i = 0; i < n; ++i) {
      if (std::isnan(xs[i]) || std::isnan(ys[i])) continue;
      const int col =
          std::clamp(static_cast<int>((xs[i] - x.lo) / (x.hi - x.lo) * columns), 0, columns - 1);
      if (std::isnan(lo[col]) || ys[i] < lo[col]) lo[col] = ys[i];
      if (std::isnan(hi[col]) || ys[i] > hi[col]) hi[col] = ys[i];
    }
    QPolygonF upper, lower;
    for (int col = 0; col < columns; ++col) {
      if (std::isnan(lo[col])) continue;
      const double cx = plot.left() + plot.width() * (col + 0.5) / columns;
      upper << QPointF(cx, y.Map(hi[col], plot.bottom(), plot.top()));
      lower.prepend(QPointF(cx, y.Map(lo[col], plot.bottom(), plot.top())));
    }
    color.setAlphaF(0.18);
    p_.save();
    p_.setPen(Qt::NoPen);
    p_.setBrush(color);
    p_.drawPolygon(upper + lower);
    p_.restore();
  }

  QPainter& p_;
  QFont font_;
  double unit_;
};

}  // namespace

Style StyleOf(Side side, Marker marker) {
  Style s;
  s.color = side == Side::kLeft ? kLeftColor : kRightColor;
  s.line = side == Side::kLeft ? Qt::SolidLine : Qt::DashLine;
  s.hatched = side == Side::kRight;
  s.marker = marker;
  return s;
}

std::vector<double> NiceTicks(double lo, double hi, int target, double* step_out) {
  std::vector<double> ticks;
  if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi)) {
    if (step_out != nullptr) *step_out = 1;
    return ticks;
  }
  const double raw = (hi - lo) / std::max(1, target);
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  double step = power * 10;
  for (const double m : {1.0, 2.0, 5.0, 10.0}) {
    if (power * m >= raw * 0.999) {
      step = power * m;
      break;
    }
  }
  const double first = std::floor(lo / step + 1e-9) * step;
  for (double t = first; t < hi + step * 0.999; t += step) {
    ticks.push_back(std::fabs(t) < step * 1e-9 ? 0 : t);
    if (ticks.size() > 1000) break;
  }
  if (step_out != nullptr) *step_out = step;
  return ticks;
}

void Chart::Paint(QPainter& painter, const QRectF& area) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.fillRect(area, Qt::white);
  painter.setFont(font);
  // Pixels per point on this device (a QImage painted at twice the size counts its logical ones).
  const double unit = painter.device()->logicalDpiY() / 72.0;
  const QFontMetricsF fm(font, painter.device());

  QRectF rest = area.adjusted(fm.height() * 0.4, fm.height() * 0.3, -fm.height() * 0.4,
                              -fm.height() * 0.2);
  if (!title.isEmpty()) {
    QFont bold = font;
    bold.setBold(true);
    bold.setPointSizeF(font.pointSizeF() * 1.15);
    painter.setFont(bold);
    painter.setPen(Qt::black);
    const double h = QFontMetricsF(bold, painter.device()).height() * 1.3;
    painter.drawText(QRectF(rest.left(), rest.top(), rest.width(), h),
                     Qt::AlignLeft | Qt::AlignVCenter, title);
    rest.setTop(rest.top() + h);
    painter.setFont(font);
  }
  if (panels.empty()) {
    painter.setPen(Qt::darkGray);
    painter.drawText(rest, Qt::AlignCenter, message);
    painter.restore();
    return;
  }

  // The scales first: stacked panels share their x range and line up their plot areas.
  Range shared;
  for (const Panel& panel : panels) {
    for (const PlotObject& o : panel.objects) {
      const Range r = XRangeOf(o);
      shared.Take(r.lo);
      shared.Take(r.hi);
    }
  }
  double weights = 0;
  for (const Panel& panel : panels) weights += panel.weight;
  PanelPainter pp(painter, font, unit);
  std::vector<Scale> xs, ys;
  std::vector<std::optional<Scale>> y2s;
  std::vector<PanelPainter::Margins> margins;
  std::vector<QRectF> areas;
  // The plot areas share the height by weight, after each panel's texts have their room.
  double texts = 0;
  std::vector<double> text_heights;
  for (std::size_t i = 0; i < panels.size(); ++i) {
    const bool x_labels = !shared_x || i + 1 == panels.size();
    const PanelPainter::Margins m = pp.MarginsOf(panels[i], Scale{}, std::nullopt, x_labels,
                                                 rest.width());
    text_heights.push_back(m.top + m.bottom);
    texts += m.top + m.bottom;
  }
  const double plots = std::max(0.0, rest.height() - texts);
  double top = rest.top();
  double left = 0, right = 0;
  for (std::size_t i = 0; i < panels.size(); ++i) {
    const Panel& panel = panels[i];
    const double h = text_heights[i] + plots * panel.weight / weights;
    areas.emplace_back(rest.left(), top, rest.width(), h);
    top += h;
    Range xr, yr, y2r;
    bool has_right = false;
    for (const PlotObject& o : panel.objects) {
      const Range rx = XRangeOf(o);
      xr.Take(rx.lo);
      xr.Take(rx.hi);
      const Range ry = YRangeOf(o);
      Range& into = o.right_axis ? y2r : yr;
      has_right = has_right || o.right_axis;
      into.Take(ry.lo);
      into.Take(ry.hi);
    }
    for (const Level& level : panel.levels) yr.Take(level.y);
    if (shared_x) xr = shared;
    const double plot_h = h - fm.height() * 4;
    ys.push_back(ScaleOf(panel.y, yr, std::max(plot_h, fm.height() * 2), fm, false));
    y2s.push_back(has_right ? std::optional<Scale>(ScaleOf(panel.y2, y2r,
                                                           std::max(plot_h, fm.height() * 2), fm,
                                                           false))
                            : std::nullopt);
    const bool x_labels = !shared_x || i + 1 == panels.size() || panels.size() == 1;
    margins.push_back(pp.MarginsOf(panel, ys.back(), y2s.back(), x_labels, rest.width()));
    left = std::max(left, margins.back().left);
    right = std::max(right, margins.back().right);
    xs.push_back(ScaleOf(panel.x, xr, rest.width() - margins.back().left - margins.back().right,
                         fm, true));
  }
  if (shared_x) {
    const Scale x = ScaleOf(panels.back().x, shared, rest.width() - left - right, fm, true);
    for (std::size_t i = 0; i < panels.size(); ++i) {
      margins[i].left = left;
      margins[i].right = right;
      xs[i] = x;
    }
  }
  for (std::size_t i = 0; i < panels.size(); ++i) {
    const bool x_labels = !shared_x || i + 1 == panels.size();
    pp.Paint(panels[i], areas[i], margins[i], xs[i], ys[i], y2s[i], x_labels);
  }
  painter.restore();
}

}  // namespace tallyx::view
