// The chart of the Costs Analysis page: the cost of each month of the report period as a bar,
// what the month would have cost at the cheapest and at the dearest band as marks on the bar,
// and the average per month as a line. Keyboard and screen reader reach it bar by bar: the
// arrow keys choose a bar, whose month, cost and number of calls become the chart's accessible
// description and the status bar's text.
#pragma once

#include <QWidget>
#include <vector>

#include "platform/regional.h"
#include "reports/monthlycosts.h"

namespace dorvane {

class TCostChart : public QWidget {
  Q_OBJECT
 public:
  explicit TCostChart(const RegionalSettings& rs, QWidget* parent = nullptr);

  // The months of the last analysis; an empty list shows that the period has no calls.
  void SetMonths(std::vector<CostBucket> months);
  // The bars as drawn (months, or years for a long period).
  const std::vector<CostBucket>& Bars() const { return bars_; }
  int CurrentBar() const { return current_; }
  void SetCurrentBar(int index);
  // "Jan 1999: $1.75, 2 calls": what the chart says about one bar.
  QString BarText(int index) const;
  // The rectangle of a bar within the widget (empty for an index out of range).
  QRect BarRect(int index) const;

  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Plot {
    QRect area;       // where the bars stand
    double top = 1;   // the amount at the area's top edge
    double step = 1;  // between two ticks of the value axis
  };
  struct LegendItem {
    enum Sample { Bar, Mark, Line } sample;
    QString text;
  };
  std::vector<LegendItem> Legend() const;
  int LegendWidth(const LegendItem& item) const;
  int LegendLines() const;
  Plot Layout() const;
  // A bar's rectangle in a layout already made, for an index in range.
  QRect BarRect(const Plot& plot, int index) const;
  int BarAt(QPoint pos) const;
  void Describe();
  void Tell(const QString& text);

  const RegionalSettings& rs_;
  std::vector<CostBucket> months_;
  std::vector<CostBucket> bars_;
  int current_ = -1;
};

}  // namespace dorvane
