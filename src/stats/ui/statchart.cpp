#include "stats/ui/statchart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QLineSeries>
#include <QPieSeries>
#include <QStackedBarSeries>
#include <QValueAxis>

namespace statchart {

namespace {

QColor colourOf(stats::Rgb rgb) {
    return QColor(QRgb(0xFF000000u | rgb));
}

// Empties the chart: series and axes.
void clear(QChart* chart, const QString& title = QString()) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    chart->setTitle(title);
    chart->legend()->setVisible(false);
}

// A value axis from 0 to a round number at or above the highest value (1 when all are 0).
QValueAxis* valueAxis(double highest, const QString& format = QStringLiteral("%.0f")) {
    auto* axis = new QValueAxis();
    axis->setLabelFormat(format);
    axis->setRange(0, highest > 0 ? highest : 1);
    axis->applyNiceNumbers();
    return axis;
}

double highestOf(const stats::Series& points) {
    double highest = 0;
    for (const stats::ChartPoint& p : points)
        highest = std::max(highest, p.value);
    return highest;
}

QBarCategoryAxis* categoryAxis(const QStringList& labels) {
    // Axis labels are rich text: "<= 7 days" must not read as a tag.
    auto* axis = new QBarCategoryAxis();
    for (const QString& label : labels)
        axis->append(label.toHtmlEscaped());
    return axis;
}

} // namespace

QChartView* makeChartView(QWidget* parent, const QString& name) {
    auto* chart = new QChart();
    chart->legend()->setVisible(false);
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(2, 2, 2, 2));
    auto* view = new QChartView(chart, parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

void showColouredBars(QChart* chart, const stats::Series& points, const QString& title,
                      const QStringList& marks) {
    clear(chart, title);
    // One set per point, holding its value at its own place only, so each bar has its colour.
    auto* series = new QHorizontalStackedBarSeries();
    QStringList labels;
    for (int i = 0; i < points.size(); ++i) {
        auto* set = new QBarSet(points[i].label);
        for (int j = 0; j < points.size(); ++j)
            set->append(i == j ? points[i].value : 0.0);
        set->setColor(colourOf(points[i].colour));
        set->setBorderColor(Qt::black);
        series->append(set);
        const QString mark = marks.value(i);
        labels << (mark.isEmpty() ? points[i].label
                                  : points[i].label + QStringLiteral("  ") + mark);
    }
    series->setBarWidth(0.7);
    chart->addSeries(series);
    QBarCategoryAxis* categories = categoryAxis(labels);
    QValueAxis* values = valueAxis(highestOf(points));
    chart->addAxis(categories, Qt::AlignLeft);
    chart->addAxis(values, Qt::AlignBottom);
    series->attachAxis(categories);
    series->attachAxis(values);
}

void showPercentBars(QChart* chart, const stats::Series& points, int digits) {
    clear(chart);
    if (points.isEmpty())
        return;
    auto* series = new QHorizontalBarSeries();
    auto* set = new QBarSet(QString());
    for (const stats::ChartPoint& p : points)
        set->append(p.value);
    set->setColor(colourOf(points.first().colour));
    set->setBorderColor(Qt::black);
    set->setLabelColor(Qt::black);
    series->append(set);
    series->setBarWidth(0.6);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsFormat(QStringLiteral("@value %"));
    series->setLabelsPrecision(digits);
    chart->addSeries(series);
    // Hidden axes that scale every bar from 0, with room for the mark beyond the longest.
    auto* values = new QValueAxis();
    const double highest = highestOf(points);
    values->setRange(0, highest > 0 ? highest * 1.4 : 1);
    values->setVisible(false);
    auto* categories = new QBarCategoryAxis();
    for (const stats::ChartPoint& p : points)
        categories->append(p.label);
    categories->setVisible(false);
    chart->addAxis(values, Qt::AlignBottom);
    chart->addAxis(categories, Qt::AlignLeft);
    series->attachAxis(values);
    series->attachAxis(categories);
}

void showGroupedBars(QChart* chart, const std::array<stats::Series, 3>& series,
                     const QStringList& names, const QString& title) {
    clear(chart, title);
    auto* bars = new QHorizontalBarSeries();
    for (size_t k = 0; k < series.size(); ++k) {
        auto* set = new QBarSet(names.value(int(k)));
        for (const stats::ChartPoint& p : series[k])
            set->append(p.value);
        if (!series[k].isEmpty())
            set->setColor(colourOf(series[k].first().colour));
        set->setBorderColor(Qt::black);
        bars->append(set);
    }
    chart->addSeries(bars);
    QStringList labels;
    for (const stats::ChartPoint& p : series[0])
        labels << p.label;
    QBarCategoryAxis* categories = categoryAxis(labels);
    QValueAxis* values =
        valueAxis(std::max({highestOf(series[0]), highestOf(series[1]), highestOf(series[2])}));
    chart->addAxis(categories, Qt::AlignLeft);
    chart->addAxis(values, Qt::AlignBottom);
    bars->attachAxis(categories);
    bars->attachAxis(values);
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignTop);
}

void showStackedBars(QChart* chart, const stats::Series& used, const stats::Series& free,
                     const QString& unit) {
    clear(chart);
    auto* series = new QStackedBarSeries();
    auto* usedSet = new QBarSet(QStringLiteral("Used space"));
    auto* freeSet = new QBarSet(QStringLiteral("Free space"));
    QStringList labels;
    for (int i = 0; i < used.size(); ++i) {
        usedSet->append(used[i].value);
        freeSet->append(free.value(i).value);
        labels << used[i].label;
    }
    usedSet->setColor(colourOf(stats::kBlue));
    freeSet->setColor(colourOf(stats::kFuchsia));
    series->append(usedSet);
    series->append(freeSet);
    series->setLabelsVisible(true);
    series->setLabelsFormat(QStringLiteral("@value"));
    series->setLabelsPrecision(15);
    chart->addSeries(series);
    double highest = 0;
    for (int i = 0; i < used.size(); ++i)
        highest = std::max(highest, used[i].value + free.value(i).value);
    QBarCategoryAxis* categories = categoryAxis(labels);
    QValueAxis* values = valueAxis(highest, QStringLiteral("%.0f ") + unit);
    chart->addAxis(categories, Qt::AlignBottom);
    chart->addAxis(values, Qt::AlignLeft);
    series->attachAxis(categories);
    series->attachAxis(values);
}

QPieSeries* showPie(QChart* chart, const stats::Series& points, double startAngle) {
    clear(chart);
    auto* pie = new QPieSeries();
    const QStringList marks = stats::percentages(points);
    for (int i = 0; i < points.size(); ++i) {
        QPieSlice* slice =
            pie->append(points[i].label + QStringLiteral(" ") + marks[i], points[i].value);
        slice->setColor(colourOf(points[i].colour));
        slice->setBorderColor(Qt::black);
        slice->setLabelVisible(true);
    }
    pie->setPieSize(0.6);
    chart->addSeries(pie);
    rotatePie(chart, startAngle);
    return pie;
}

void rotatePie(QChart* chart, double startAngle) {
    for (QAbstractSeries* s : chart->series()) {
        if (auto* pie = qobject_cast<QPieSeries*>(s)) {
            pie->setPieStartAngle(startAngle);
            pie->setPieEndAngle(startAngle + 360);
        }
    }
}

void showLines(QChart* chart, const QList<stats::Series>& series, const QStringList& names,
               const QString& bottomTitle, const QString& leftTitle) {
    clear(chart);
    double highest = 0;
    for (const stats::Series& s : series)
        highest = std::max(highest, highestOf(s));
    auto* bottom = new QCategoryAxis();
    QValueAxis* left = valueAxis(highest);
    bottom->setTitleText(bottomTitle);
    left->setTitleText(leftTitle);
    chart->addAxis(bottom, Qt::AlignBottom);
    chart->addAxis(left, Qt::AlignLeft);
    for (int k = 0; k < series.size(); ++k) {
        auto* line = new QLineSeries();
        line->setName(names.value(k));
        for (int x = 0; x < series[k].size(); ++x)
            line->append(x, series[k][x].value);
        if (!series[k].isEmpty())
            line->setColor(colourOf(series[k].first().colour));
        chart->addSeries(line);
        line->attachAxis(bottom);
        line->attachAxis(left);
    }
    // Every third hour is labelled; the labels stand at their hour.
    if (!series.isEmpty()) {
        const stats::Series& first = series.first();
        bottom->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        for (int x = 0; x < first.size(); x += 3)
            bottom->append(first[x].label, x);
        bottom->setRange(0, std::max(1, int(first.size()) - 1));
    }
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignTop);
}

void setBarWidth(QChart* chart, double width) {
    for (QAbstractSeries* s : chart->series())
        if (auto* bars = qobject_cast<QAbstractBarSeries*>(s))
            bars->setBarWidth(width);
}

int seriesCount(const QChart* chart) {
    return int(chart->series().size());
}

int pointCount(const QChart* chart) {
    if (chart->series().isEmpty())
        return 0;
    QAbstractSeries* s = chart->series().first();
    if (auto* pie = qobject_cast<QPieSeries*>(s))
        return pie->count();
    if (auto* line = qobject_cast<QLineSeries*>(s))
        return int(line->count());
    if (auto* bars = qobject_cast<QAbstractBarSeries*>(s))
        return bars->barSets().isEmpty() ? 0 : int(bars->barSets().first()->count());
    return 0;
}

} // namespace statchart
