// A small plot API: objects hold points (or a waveform's samples) and a style; a panel owns its
// axes, their limits and round ticks, its legend, grid and reference lines; a chart stacks
// panels and paints them all in one routine, on any QPainter: the screen, an image, a PDF page,
// a printer page. Sizes are in points, so that a chart reads the same at every resolution.
#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "progress/waveform.h"

class QPainter;

namespace tallyx::view {

// Left is blue and solid, right orange and dashed: told apart in colour and in black and white.
enum class Side { kLeft, kRight };

enum class Marker { kNone, kCircle, kSquare, kTriangle, kDiamond };

struct Style {
  QColor color;
  Qt::PenStyle line = Qt::SolidLine;
  Marker marker = Marker::kNone;
  bool hatched = false;  // bars: a hatched fill instead of a solid one
  double width = 1.5;    // points
};
Style StyleOf(Side side, Marker marker = Marker::kNone);

struct PlotObject {
  enum class Kind {
    kLine,    // points joined in x order; a NaN y breaks the line
    kBars,    // a bar from 0 to each point's y, `bar_offset` beside its x, `bar_width` wide
    kWave,    // the samples of one waveform column, spread evenly from x_first to x_last
    kCurves,  // one curve per sample range: y against the column `x_column`
  };
  Kind kind = Kind::kLine;
  QString label;  // its legend entry; none when empty
  Style style;
  bool right_axis = false;  // measured on the panel's right axis

  std::vector<QPointF> points;  // kLine, kBars
  double bar_offset = 0;
  double bar_width = 0.4;

  std::shared_ptr<const progress::Waveform> wave;  // kWave, kCurves
  int column = -1;
  double x_first = 0, x_last = 0;  // kWave
  int x_column = -1;               // kCurves
  std::vector<progress::SampleRange> ranges;
};

struct Axis {
  enum class Ticks { kNumbers, kWhole, kDates };  // kDates: days since 1970-01-01
  QString title;
  Ticks ticks = Ticks::kNumbers;
  std::optional<double> min, max;  // fixed limits; else the data's, widened to round ticks
  std::optional<double> step;      // a fixed tick step
  bool include_zero = false;
  bool tight = false;  // limits are the data's own, ticks round values inside them
};

// A horizontal reference line at `y` with its label at the right end.
struct Level {
  double y = 0;
  QString label;
};

struct Panel {
  QString title;
  Axis x, y, y2;
  std::vector<PlotObject> objects;
  std::vector<Level> levels;
  std::vector<QString> notes;  // lines beneath the plot
  double weight = 1;           // its share of the chart's height
};

class Chart {
 public:
  QString title;
  std::vector<Panel> panels;
  QString message;       // shown in place of the panels when there are none
  bool shared_x = true;  // the panels show the same x range
  QFont font;            // the texts' face and size

  // Paints the chart into `area` of the painter's device.
  void Paint(QPainter& painter, const QRectF& area) const;
};

// Round tick values covering [lo, hi] with about `target` intervals: steps of 1, 2 or 5 times a
// power of ten.
std::vector<double> NiceTicks(double lo, double hi, int target, double* step);

}  // namespace tallyx::view
