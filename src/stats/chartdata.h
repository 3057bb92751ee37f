#pragma once

#include "app/grid.h"
#include "stats/statpages.h"
#include "stats/statscan.h"

#include <QList>
#include <QString>
#include <QtGlobal>
#include <array>

// The charts of the statistics window as data: the points of each series in their order, with
// value, label and colour.  The window draws them; tests read them.
namespace stats {

// Colours as 0xRRGGBB.
using Rgb = quint32;
constexpr Rgb kRed = 0xFF0000, kBlue = 0x0000FF, kFuchsia = 0xFF00FF, kGreen = 0x008000,
              kYellow = 0xFFFF00, kLime = 0x00FF00;

// The default colour table, entries 1..12 at indexes 0..11: red, maroon, blue, yellow, green,
// lime, fuchsia, teal, navy, aqua, white, gray.
using ColorTable = std::array<Rgb, 12>;
ColorTable initAColors();
// All twelve entries one colour.
ColorTable initAColors(Rgb colour);

struct ChartPoint {
    QString label;
    double value = 0;
    Rgb colour = 0;
};
using Series = QList<ChartPoint>;

// "##0.# %": at most one decimal, none when it is 0 ("12.5 %", "3 %").
QString percentText(double percent);
// Each point's share of the series total, as percentText; empty texts when the total is 0.
QStringList percentages(const Series& series);

// The types pie of column tcSize, tcFiles or tcAverage: rows 1..12 (or fewer) of the grid as it
// stands, a slice for each value above 0, labelled with the row's type, in colour
// barColors[row]; rows of value 0 use up their colour too.
Series typePie(const TextGrid& grid, int column);

// The Sizes chart: twelve bars, class 1 first (at the bottom), in MB or as file counts, each
// labelled as the size grid labels it and in its class's colour.
Series sizeBars(const StatTotals& totals, bool inMB);
QString sizeChartTitle(bool inMB);

// addAgeBars: ten bars, age class 0 first (at the bottom), each value ÷ 1048576 when inMB;
// in the default colours (class i in entry i + 1) or all in one colour.
Series addAgeBars(const std::array<qint64, kAgeClasses>& values, bool inMB, bool oneColour,
                  Rgb colour);
// "Access Date (file sizes in MB)", "Created Date (Number of files)", ...
QString ageChartTitle(TimeKind kind, bool inMB);
// The Combined chart: three series (access red, creation green, last write yellow).
std::array<Series, 3> combinedBars(const StatTotals& totals, bool inMB);

// The Attribute charts: four bars from the bottom (archive, system, read-only, hidden), each a
// percentage of the sum of the four counts (or byte sums); empty when that sum is 0.
Series attributeBars(const StatTotals& totals, bool bySize);

// The Overhang chart: five red bars from the bottom (64K, 32K, 16K, 8K, 4K), each the waste
// as a percentage of waste plus the total bytes.
Series overhangBars(const StatTotals& totals);

// The Time chart: 24 points per series (hour 0..23), labelled with the hour in the short time
// format; "Modified time" red, "Created time" lime.
Series hourLine(const std::array<qint64, kHours>& hourSlots, Rgb colour);
QStringList hourLabels();

// The Space charts from the figures: used (blue) and free (fuchsia) per bar; the pie's two
// slices "Used space" and "Free space".
Series spaceUsedBars(const SpaceFigures& figures);
Series spaceFreeBars(const SpaceFigures& figures);
Series spacePie(const SpaceFigures& figures);

// The growth animation of the Space bars: target depth and step for a chart of n drives.
struct Growth {
    int target;
    int step;
};
Growth growthFor(int drives);

} // namespace stats
