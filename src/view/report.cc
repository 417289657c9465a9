#include "view/report.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <memory>

#include "convert/run.h"
#include "model/messages.h"
#include "progress/measurement.h"
#include "progress/sessions.h"
#include "progress/waveform.h"
#include "view/charts.h"

namespace tallyx::view {
namespace {

constexpr double kMarginMm = 15;
constexpr double kFooterMm = 8;
constexpr int kPdfResolution = 300;

struct Cell {
  QString text;
  progress::Shade shade = progress::Shade::kNone;
  bool number = false;
};

Cell CellOf(const progress::Shown& shown) {
  return Cell{FromUtf8(shown.text), shown.shade, shown.number.has_value()};
}

// A table's columns fitted to a width: the font shrinks (to 60 % at most) before texts are cut.
struct Table {
  std::vector<QString> headers;
  std::vector<std::vector<Cell>> rows;
  QFont font;
  std::vector<double> widths;
  double header_height = 0;
  double row_height = 0;
};

void FitTable(Table* t, double points, double width, QPaintDevice* device) {
  for (double scale = 1.0;; scale -= 0.1) {
    t->font = GothicFont(points * scale);
    const QFontMetricsF fm(t->font, device);
    const double pad = fm.height() * 0.6;
    t->widths.assign(t->headers.size(), 0);
    for (std::size_t c = 0; c < t->headers.size(); ++c) {
      double data = 0;
      for (const auto& row : t->rows) {
        if (c < row.size()) data = std::max(data, fm.horizontalAdvance(row[c].text));
      }
      const double header = fm.horizontalAdvance(t->headers[c]);
      // A header may take two lines.
      t->widths[c] = std::max(data, std::min(header, std::max(data, header / 2 + fm.height()))) + pad;
    }
    t->header_height = fm.height() * 2.3;
    t->row_height = fm.height() * 1.45;
    double sum = 0;
    for (const double w : t->widths) sum += w;
    if (sum <= width || scale <= 0.65) {
      if (sum > width) {
        for (double& w : t->widths) w *= width / sum;
      } else if (sum < width * 0.75) {
        // A narrow table is not stretched across the page, only given some air.
        for (double& w : t->widths) w *= std::min(width / sum, 1.25);
      } else {
        for (double& w : t->widths) w *= width / sum;
      }
      return;
    }
  }
}

double PaintTable(QPainter& p, const Table& t, double x, double y, std::size_t begin,
                  std::size_t end) {
  const QFontMetricsF fm(t.font, p.device());
  const double pad = fm.height() * 0.3;
  p.setFont(t.font);
  double cx = x;
  const QPen grid(QColor(0x90, 0x90, 0x90), fm.height() * 0.04);
  for (std::size_t c = 0; c < t.headers.size(); ++c) {
    const QRectF r(cx, y, t.widths[c], t.header_height);
    p.fillRect(r, QColor(0xee, 0xee, 0xee));
    p.setPen(grid);
    p.drawRect(r);
    p.setPen(Qt::black);
    p.drawText(r.adjusted(pad, 0, -pad, 0), Qt::AlignCenter | Qt::TextWordWrap, t.headers[c]);
    cx += t.widths[c];
  }
  double cy = y + t.header_height;
  for (std::size_t i = begin; i < end && i < t.rows.size(); ++i) {
    cx = x;
    for (std::size_t c = 0; c < t.headers.size(); ++c) {
      const QRectF r(cx, cy, t.widths[c], t.row_height);
      const Cell cell = c < t.rows[i].size() ? t.rows[i][c] : Cell{};
      const QColor shade = ShadeColor(cell.shade);
      if (shade.isValid()) p.fillRect(r, shade);
      p.setPen(grid);
      p.drawRect(r);
      p.setPen(Qt::black);
      const QRectF inner = r.adjusted(pad, 0, -pad, 0);
      p.drawText(inner, (cell.number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                 fm.elidedText(cell.text, Qt::ElideRight, inner.width()));
      cx += t.widths[c];
    }
    cy += t.row_height;
  }
  return cy - y;
}

// Labelled values in `columns` columns: "label: value", the label in grey.
double PaintLabelled(QPainter& p, const std::vector<progress::Labelled>& items, double x, double y,
                     double width, int columns, const QFont& font) {
  const QFontMetricsF fm(font, p.device());
  const double column_width = width / columns;
  const double row_height = fm.height() * 1.35;
  p.setFont(font);
  for (std::size_t i = 0; i < items.size(); ++i) {
    const double cx = x + column_width * (i % columns);
    const double cy = y + row_height * (i / columns);
    const QString label = FromUtf8(items[i].label) + QStringLiteral("：");
    p.setPen(QColor(0x55, 0x55, 0x55));
    p.drawText(QPointF(cx, cy + fm.ascent()), label);
    p.setPen(Qt::black);
    const double lw = fm.horizontalAdvance(label);
    p.drawText(QPointF(cx + lw, cy + fm.ascent()),
               fm.elidedText(FromUtf8(items[i].value), Qt::ElideRight,
                             column_width - lw - fm.height() * 0.5));
  }
  const std::size_t rows = (items.size() + columns - 1) / columns;
  return row_height * rows;
}

// The page's geometry in device units, and the painting of its texts.
class Pages {
 public:
  Pages(QPagedPaintDevice& device, QPainter* painter, int total)
      : device_(device), p_(painter), total_(total) {
    mm_ = device.logicalDpiY() / 25.4;
    width_ = device.width();
    bottom_ = device.height() - kFooterMm * mm_;
  }

  double mm(double v) const { return v * mm_; }
  double width() const { return width_; }
  double bottom() const { return bottom_; }
  bool painting() const { return p_ != nullptr; }
  QPainter& painter() const { return *p_; }
  QPaintDevice* device() const { return &device_; }
  int number() const { return number_; }

  double y = 0;

  // Ends the page with its footer and begins the next.
  void Next() {
    Footer();
    if (p_ != nullptr) device_.newPage();
    ++number_;
    y = 0;
  }
  void Footer() {
    if (p_ == nullptr) return;
    const QFont font = GothicFont(8);
    p_->setFont(font);
    p_->setPen(Qt::black);
    p_->drawText(QRectF(0, bottom_, width_, device_.height() - bottom_), Qt::AlignCenter,
                 Format(model::kReportFooter, QString::number(number_), QString::number(total_)));
  }

  // A line of text in `font`, the cursor moved below it.
  void Line(const QString& text, const QFont& font, double space_after = 1.5) {
    const QFontMetricsF fm(font, &device_);
    if (p_ != nullptr) {
      p_->setFont(font);
      p_->setPen(Qt::black);
      p_->drawText(QPointF(0, y + fm.ascent()), text);
    }
    y += fm.height() + mm(space_after);
  }

 private:
  QPagedPaintDevice& device_;
  QPainter* p_;
  int total_;
  double mm_ = 1, width_ = 0, bottom_ = 0;
  int number_ = 1;
};

QFont Bold(double points) {
  QFont f = GothicFont(points);
  f.setBold(true);
  return f;
}

Table SessionTable(const progress::Folder& folder, const progress::Patient& patient) {
  Table t;
  for (const std::string_view caption : progress::SessionColumns(folder.mode)) {
    t.headers.push_back(FromUtf8(caption));
  }
  for (const std::uint32_t m : folder.SessionsOf(patient)) {
    std::vector<Cell> row;
    for (const progress::Shown& shown :
         progress::SessionRow(folder.mode, folder.measurements[m], folder.NameOf(m))) {
      row.push_back(CellOf(shown));
    }
    t.rows.push_back(std::move(row));
  }
  return t;
}

// Page 1 and the pages the session table runs on to: the title, the patient, the table, the
// trend. Painted when `pages` paints, else only counted.
void FirstPart(const ReportRequest& r, platform::FileSystem& fs, Pages& pages) {
  const progress::Folder& folder = *r.folder;
  const progress::Patient& patient = *r.patient;
  const QString mode_name = FromUtf8(model::TableOf(folder.mode).mode_name);
  pages.Line(Format(model::kReportTitle, mode_name), Bold(16), 2);
  pages.Line(Format(model::kReportMade, r.made.toString(QStringLiteral("yyyy/MM/dd hh:mm"))),
             GothicFont(9), 4);

  // The patient block of the latest measurement, read with every item.
  const progress::Measurement& latest = folder.Latest(patient);
  const QFont text = GothicFont(9.5);
  double block_height = 0;
  if (pages.painting()) {
    const auto latest_index = static_cast<std::uint32_t>(&latest - folder.measurements.data());
    progress::Measurement detail;
    std::string failure;
    const bool read =
        progress::ReadDetail(fs, folder.PathOf(latest_index), folder.mode, &detail, &failure);
    block_height = PaintLabelled(pages.painter(), progress::PatientBlock(read ? detail : latest), 0,
                                 pages.y, pages.width(), 3, text);
  } else {
    block_height = QFontMetricsF(text, pages.device()).height() * 1.35 *
                   ((progress::PatientBlock(latest).size() + 2) / 3);
  }
  pages.y += block_height + pages.mm(5);

  pages.Line(FromUtf8(model::kReportSessions), Bold(10.5), 1.5);
  Table table = SessionTable(folder, patient);
  FitTable(&table, 8, pages.width(), pages.device());
  std::size_t row = 0;
  do {
    const double room = pages.bottom() - pages.y - table.header_height;
    std::size_t fit = static_cast<std::size_t>(std::max(1.0, room / table.row_height));
    fit = std::min(fit, table.rows.size() - row);
    if (pages.painting()) PaintTable(pages.painter(), table, 0, pages.y, row, row + fit);
    pages.y += table.header_height + table.row_height * fit;
    row += fit;
    if (row < table.rows.size()) pages.Next();
  } while (row < table.rows.size());
  pages.y += pages.mm(5);

  const double chart_height = std::min(pages.mm(120), pages.bottom() - pages.y);
  if (chart_height < pages.mm(80)) pages.Next();
  if (pages.painting()) {
    Chart trend = TrendChart(folder.mode, folder, patient, false);
    trend.font = GothicFont(8);
    const double h = std::min(pages.mm(120), pages.bottom() - pages.y);
    trend.Paint(pages.painter(), QRectF(0, pages.y, pages.width(), h));
  }
}

// One measurement's page: its date and time, its settings, its results, its per-turn chart and
// its waveform.
void MeasurementPage(const ReportRequest& r, platform::FileSystem& fs, Pages& pages,
                     std::uint32_t index) {
  const progress::Folder& folder = *r.folder;
  const model::Mode mode = folder.mode;
  const progress::Measurement& listed = folder.measurements[index];
  QPainter& p = pages.painter();
  // The date and time as the session table shows them.
  const std::vector<progress::Shown> row =
      progress::SessionRow(mode, listed, folder.NameOf(index));
  pages.Line(Format(model::kReportMeasurement, row.size() > 0 ? FromUtf8(row[0].text) : QString(),
                    row.size() > 1 ? FromUtf8(row[1].text) : QString()),
             Bold(13), 1);
  pages.Line(FromUtf8(folder.NameOf(index)), GothicFont(8), 3);

  const std::string path = folder.PathOf(index);
  progress::Measurement detail;
  std::string failure;
  if (!progress::ReadDetail(fs, path, mode, &detail, &failure)) {
    pages.Line(Format(model::kDetailUnreadable, FromUtf8(failure)), GothicFont(9.5));
    return;
  }

  pages.Line(FromUtf8(model::kReportSettings), Bold(10.5), 1.5);
  pages.y += PaintLabelled(p, progress::SettingsOf(mode, detail), 0, pages.y, pages.width(), 3,
                           GothicFont(9)) +
             pages.mm(4);

  pages.Line(FromUtf8(model::kReportResults), Bold(10.5), 1.5);
  Table results;
  const bool sides = progress::HasSides(mode);
  results.headers = {QString(), FromUtf8(sides ? model::kLeft : model::kReportValue)};
  if (sides) {
    results.headers.push_back(FromUtf8(model::kRight));
    results.headers.push_back(FromUtf8(model::kDifferenceAxis));
  }
  for (const progress::ResultRow& row : progress::ResultsOf(mode, detail)) {
    std::vector<Cell> cells = {Cell{FromUtf8(row.caption)}, CellOf(row.left)};
    if (sides) {
      cells.push_back(CellOf(row.right));
      cells.push_back(CellOf(row.difference));
    }
    results.rows.push_back(std::move(cells));
  }
  FitTable(&results, 9, pages.width() * 0.75, pages.device());
  pages.y += PaintTable(p, results, 0, pages.y, 0, results.rows.size()) + pages.mm(5);

  // The charts share what is left of the page.
  std::vector<Chart> charts;
  const progress::Turns turns = progress::TurnsOf(mode, detail);
  if (!turns.left.empty() || !turns.right.empty()) charts.push_back(TurnChart(mode, turns));
  auto wave = std::make_shared<progress::Waveform>();
  std::string wave_failure;
  const bool wave_read = progress::ReadWaveform(fs, path, mode, wave.get(), &wave_failure);
  const auto add_wave = [&](WaveView view) {
    Chart chart = WaveChart(mode, wave_read ? wave : nullptr, view);
    if (!wave_read) chart.message = Format(model::kWaveUnreadable, FromUtf8(wave_failure));
    if (HasAngleView(mode)) {
      chart.title += QStringLiteral("（") +
                     FromUtf8(view == WaveView::kTime ? model::kTimeView : model::kAngleView) +
                     QStringLiteral("）");
    }
    charts.push_back(std::move(chart));
  };
  add_wave(WaveView::kTime);
  if (HasAngleView(mode)) add_wave(WaveView::kAngle);
  std::vector<double> shares;
  double total = 0;
  for (const Chart& c : charts) {
    shares.push_back(c.panels.size() > 1 ? 2.0 : 1.0);
    total += shares.back();
  }
  const double room = std::max(pages.mm(40), pages.bottom() - pages.y);
  for (std::size_t i = 0; i < charts.size(); ++i) {
    const double h = room * shares[i] / total;
    charts[i].font = GothicFont(8);
    charts[i].Paint(p, QRectF(0, pages.y, pages.width(), h - pages.mm(2)));
    pages.y += h;
  }
}

// Counting reads no file: only painting the patient block does.
int FirstPartPages(const ReportRequest& r, platform::FileSystem& fs, QPagedPaintDevice& device) {
  Pages counting(device, nullptr, 0);
  FirstPart(r, fs, counting);
  return counting.number();
}

}  // namespace

void SetReportPage(QPagedPaintDevice& device) {
  device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                   QPageLayout::Millimeter));
}

void PaintReport(const ReportRequest& request, platform::FileSystem& fs, QPagedPaintDevice& device,
                 QPainter& painter) {
  const int total = FirstPartPages(request, fs, device) + static_cast<int>(request.included.size());
  Pages pages(device, &painter, total);
  FirstPart(request, fs, pages);
  for (const std::uint32_t m : request.included) {
    pages.Next();
    MeasurementPage(request, fs, pages, m);
  }
  pages.Footer();
}

bool WritePdfReport(const ReportRequest& request, platform::FileSystem& fs, const std::string& path,
                    std::string* failure) {
  // The whole file is made in memory first: nothing touches the disk until it is complete.
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(kPdfResolution);
    writer.setCreator(QStringLiteral("tallyx-view"));
    writer.setTitle(Format(model::kReportTitle,
                           FromUtf8(model::TableOf(request.folder->mode).mode_name)));
    SetReportPage(writer);
    QPainter painter;
    if (!painter.begin(&writer)) {
      *failure = model::FailureDetail(path, 0, model::failure_reason::kCannotCreate);
      return false;
    }
    PaintReport(request, fs, writer, painter);
    painter.end();
  }
  return WriteWhole(fs, path, std::string_view(buffer.data().constData(), buffer.data().size()),
                    failure);
}

bool WriteWhole(platform::FileSystem& fs, const std::string& path, std::string_view bytes,
                std::string* failure) {
  const auto fail = [&](std::string_view reason) {
    *failure = model::FailureDetail(
        path, 0, model::WithSystemWords(reason, convert::SystemWords(fs.LastFailure())));
    return false;
  };
  const std::string part = path + ".part";
  std::unique_ptr<platform::OutputFile> out = fs.CreateOutput(part);
  if (out == nullptr) {
    *failure = model::FailureDetail(path, 0, convert::CreateReason(fs, part));
    return false;
  }
  bool written = out->Write(bytes.data(), bytes.size()) && out->Flush();
  if (!written) fail(model::failure_reason::kCannotWrite);
  if (!platform::CloseFile(&out) && written) {
    written = false;
    fail(model::failure_reason::kCannotClose);
  }
  if (written && !fs.ReplaceFile(part, path)) {
    written = false;
    fail(model::failure_reason::kCannotWrite);
  }
  if (!written) fs.RemoveFile(part);
  return written;
}

bool IsResultFile(progress::Folder& folder, platform::FileSystem& fs, const std::string& path) {
  const std::optional<platform::FileId> id = fs.IdentityOf(path);
  return id && folder.files.Contains(*id);
}

}  // namespace tallyx::view
