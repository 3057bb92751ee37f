#pragma once

#include "stats/chartdata.h"

#include <QString>
#include <QStringList>
#include <array>

class QWidget;
class QChart;
class QChartView;
class QPieSeries;

// Drawing the statistics window's chart data with Qt Charts.  Every fill empties the chart
// first (series and axes), so a chart never holds more than its last fill.
namespace statchart {

// A chart view named `name`, antialiased, without legend, on a white background.
QChartView* makeChartView(QWidget* parent, const QString& name);

// Horizontal bars, the first point at the bottom, each in its own colour; the marks (one text
// per point, may be empty) stand beside the point's label on the category axis.
void showColouredBars(QChart* chart, const stats::Series& points, const QString& title,
                      const QStringList& marks);

// Horizontal bars in one colour without axes, marks showing the value with at most `digits`
// significant digits and " %" (the attribute and overhang charts).
void showPercentBars(QChart* chart, const stats::Series& points, int digits);

// Three series of horizontal bars side by side, each in one colour, with a legend.
void showGroupedBars(QChart* chart, const std::array<stats::Series, 3>& series,
                     const QStringList& names, const QString& title);

// Vertical stacked bars: used below, free above, one pair per point; marks show the values.
void showStackedBars(QChart* chart, const stats::Series& used, const stats::Series& free,
                     const QString& unit);

// A pie of the points, marks with label and percentage, starting at `startAngle` degrees.
QPieSeries* showPie(QChart* chart, const stats::Series& points, double startAngle);
// Turns the pie of the chart (if any) to start at this angle.
void rotatePie(QChart* chart, double startAngle);

// Line series without markers, x = 0..n-1, with the points' labels along the bottom axis.
void showLines(QChart* chart, const QList<stats::Series>& series, const QStringList& names,
               const QString& bottomTitle, const QString& leftTitle);

// The width of the bars of every bar series in the chart (0..1).
void setBarWidth(QChart* chart, double width);

// For tests: the number of series, and the points of the first one (bars of a bar series,
// slices of a pie, points of a line).
int seriesCount(const QChart* chart);
int pointCount(const QChart* chart);

} // namespace statchart
