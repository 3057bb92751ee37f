#include "stats/chartdata.h"

#include <QLocale>
#include <QTime>
#include <cmath>

namespace stats {

ColorTable initAColors() {
    return {0xFF0000, 0x800000, 0x0000FF, 0xFFFF00, 0x008000, 0x00FF00,
            0xFF00FF, 0x008080, 0x000080, 0x00FFFF, 0xFFFFFF, 0x808080};
}

ColorTable initAColors(Rgb colour) {
    ColorTable t;
    t.fill(colour);
    return t;
}

QString percentText(double percent) {
    QString s = QLocale().toString(std::round(percent * 10) / 10, 'f', 1);
    const QString zero = QLocale().decimalPoint() + QLatin1Char('0');
    if (s.endsWith(zero))
        s.chop(zero.size());
    return s + QStringLiteral(" %");
}

QStringList percentages(const Series& series) {
    double total = 0;
    for (const ChartPoint& p : series)
        total += p.value;
    QStringList out;
    for (const ChartPoint& p : series)
        out << (total > 0 ? percentText(p.value * 100 / total) : QString());
    return out;
}

Series typePie(const TextGrid& grid, int column) {
    const ColorTable colours = initAColors();
    const int n = std::min(12, grid.rowCount() - 1);
    Series s;
    for (int row = 1; row <= n; ++row) {
        const double value = stripCommas(grid.cell(column, row)).toDouble();
        if (value > 0)
            s.append({grid.cell(tcType, row), value, colours[size_t(row - 1)]});
    }
    return s;
}

Series sizeBars(const StatTotals& totals, bool inMB) {
    const ColorTable colours = initAColors();
    const QStringList labels = sizeRowLabels();
    Series s;
    for (int c = 1; c <= kSizeClasses; ++c) {
        const size_t i = size_t(c - 1);
        const double value =
            inMB ? double(totals.sizeClassBytes[i]) / 1048576 : double(totals.sizeClassCount[i]);
        s.append({labels[kSizeClasses - c], value, colours[i]});
    }
    return s;
}

QString sizeChartTitle(bool inMB) {
    return inMB ? QStringLiteral("File Sizes in MB") : QStringLiteral("Number of Files");
}

Series addAgeBars(const std::array<qint64, kAgeClasses>& values, bool inMB, bool oneColour,
                  Rgb colour) {
    const ColorTable colours = oneColour ? initAColors(colour) : initAColors();
    const QStringList labels = ageRowLabels();
    const double divisor = inMB ? 1048576 : 1;
    Series s;
    for (int i = 0; i < kAgeClasses; ++i)
        s.append(
            {labels[kAgeClasses - 1 - i], double(values[size_t(i)]) / divisor, colours[size_t(i)]});
    return s;
}

QString ageChartTitle(TimeKind kind, bool inMB) {
    static const char* const kNames[] = {"Access Date", "Created Date", "Modified Date"};
    return QLatin1String(kNames[kind]) +
           (inMB ? QStringLiteral(" (file sizes in MB)") : QStringLiteral(" (Number of files)"));
}

std::array<Series, 3> combinedBars(const StatTotals& totals, bool inMB) {
    const Rgb colours[3] = {kRed, kGreen, kYellow};
    std::array<Series, 3> out;
    for (int k = tkAccess; k <= tkModified; ++k)
        out[size_t(k)] = addAgeBars(inMB ? totals.ageBytes[size_t(k)] : totals.ageCount[size_t(k)],
                                    inMB, true, colours[k]);
    return out;
}

Series attributeBars(const StatTotals& totals, bool bySize) {
    const auto& values = bySize ? totals.attrBytes : totals.attrCount;
    double sum = 0;
    for (qint64 v : values)
        sum += double(v);
    Series s;
    if (!(sum > 0))
        return s;
    const Rgb colour = bySize ? kBlue : kRed;
    static const std::pair<AttrTally, const char*> kOrder[] = {{atArchive, "Archive"},
                                                               {atSystem, "System"},
                                                               {atReadOnly, "Read-only"},
                                                               {atHidden, "Hidden"}};
    for (const auto& [tally, label] : kOrder)
        s.append({QLatin1String(label), double(values[tally]) * 100 / sum, colour});
    return s;
}

Series overhangBars(const StatTotals& totals) {
    static const char* const kLabels[] = {"4K", "8K", "16K", "32K", "64K"};
    const double total = double(totals.totalBytes());
    Series s;
    for (int k = kClusterSizes - 1; k >= 0; --k) {
        const double waste = double(totals.clusterWaste[size_t(k)]);
        s.append({QLatin1String(kLabels[k]), waste + total > 0 ? waste * 100 / (waste + total) : 0,
                  kRed});
    }
    return s;
}

QStringList hourLabels() {
    QStringList out;
    for (int h = 0; h < kHours; ++h)
        out << QLocale().toString(QTime(h, 0), QLocale::ShortFormat);
    return out;
}

Series hourLine(const std::array<qint64, kHours>& hourSlots, Rgb colour) {
    const QStringList labels = hourLabels();
    Series s;
    for (int h = 0; h < kHours; ++h)
        s.append(ChartPoint{labels[h], double(hourSlots[size_t(h)]), colour});
    return s;
}

Series spaceUsedBars(const SpaceFigures& figures) {
    Series s;
    for (const SpaceFigures::Bar& b : figures.bars)
        s.append({b.label, b.used, kBlue});
    return s;
}

Series spaceFreeBars(const SpaceFigures& figures) {
    Series s;
    for (const SpaceFigures::Bar& b : figures.bars)
        s.append({b.label, b.free, kFuchsia});
    return s;
}

Series spacePie(const SpaceFigures& figures) {
    return {{QStringLiteral("Used space"), figures.totalValue - figures.freeValue, kBlue},
            {QStringLiteral("Free space"), figures.freeValue, kFuchsia}};
}

Growth growthFor(int drives) {
    if (drives <= 2)
        return {60, 6};
    if (drives <= 4)
        return {30, 3};
    if (drives <= 6)
        return {20, 2};
    return {10, 2};
}

} // namespace stats
