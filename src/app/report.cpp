#include "app/report.h"

#include "app/format.h"
#include "app/grid.h"

#include <QLocale>

namespace {

const QString kIndent = QStringLiteral("   ");

QStringList reportHeader(const QString& title, const QDateTime& now, const QString& indent) {
    return {indent + title, indent + printedLine(now), QString(), QString()};
}

} // namespace

int reportFieldWidth(int pixels) {
    return pixels > 0 ? pixels / 6 : 0;
}

QString printedLine(const QDateTime& now) {
    const QLocale locale;
    return QStringLiteral("Printed : ") + locale.toString(now.date(), shortDateFormat()) +
           QStringLiteral("  ") + locale.toString(now.time(), QLocale::ShortFormat);
}

QString gridReportRow(const QStringList& cells, const QList<int>& widths) {
    QString line;
    for (int c = 0; c < cells.size(); ++c) {
        const int w = reportFieldWidth(c < widths.size() ? widths.at(c) : 0);
        line += cells.at(c).left(w).leftJustified(w, QLatin1Char(' '));
        line += QLatin1Char(' ');
    }
    return line;
}

QStringList gridReportLines(const TextGrid& grid, const QList<int>& widths, const QString& title,
                            const QDateTime& now) {
    QStringList lines = reportHeader(title, now, QString());
    lines.reserve(lines.size() + grid.rowCount());
    for (int r = 0; r < grid.rowCount(); ++r)
        lines << gridReportRow(grid.rowCells(r), widths);
    return lines;
}

QStringList gridReportLines(const QList<QStringList>& rows, const QList<int>& widths,
                            const QString& title, const QDateTime& now) {
    QStringList lines = reportHeader(title, now, QString());
    lines.reserve(lines.size() + rows.size());
    for (const QStringList& row : rows)
        lines << gridReportRow(row, widths);
    return lines;
}

QStringList listReportLines(const QStringList& strings, const QString& title,
                            const QDateTime& now) {
    QStringList lines = reportHeader(title, now, kIndent);
    lines.reserve(lines.size() + strings.size());
    for (const QString& s : strings)
        lines << kIndent + s;
    return lines;
}
