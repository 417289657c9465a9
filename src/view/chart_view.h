// A widget that shows one chart, painted by the chart's own routine.
#pragma once

#include <QWidget>

#include "view/plot.h"

namespace tallyx::view {

class ChartView : public QWidget {
 public:
  explicit ChartView(QWidget* parent = nullptr);

  void setChart(Chart chart);
  const Chart& chart() const { return chart_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Chart chart_;
};

}  // namespace tallyx::view
