#include "view/chart_view.h"

#include <QPainter>
#include <utility>

#include "view/charts.h"

namespace tallyx::view {

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
  setMinimumSize(240, 160);
  setAttribute(Qt::WA_OpaquePaintEvent);
  chart_.font = GothicFont(9);
}

void ChartView::setChart(Chart chart) {
  chart_ = std::move(chart);
  chart_.font = GothicFont(9);
  update();
}

void ChartView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  chart_.Paint(painter, QRectF(rect()));
}

}  // namespace tallyx::view
