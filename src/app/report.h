#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class TextGrid;

// Plain-text reports of a result grid or a list of strings, as the lines that go to the
// printer.  Dates and times follow the default QLocale.
//
// A grid report starts with the title, the line "Printed : <date>  <time>" and two empty lines,
// then has one line per grid row (the header row included).  Each cell stands left-aligned in a
// field of as many characters as its column is wide in pixels divided by 6, cut to that many,
// and is followed by one blank; a column narrower than 6 pixels yields just the blank.
//
// A list report indents everything by three blanks: the title, the "Printed" line, two empty
// lines, then one line per string.

// The character field of a column that is `pixels` wide.
int reportFieldWidth(int pixels);

// "Printed : " + the short date, two blanks and the time of `now`.
QString printedLine(const QDateTime& now);

// One grid row as a report line; `widths` holds the column widths in pixels, one per cell (a
// cell without a width counts as a column of 0 pixels).
QString gridReportRow(const QStringList& cells, const QList<int>& widths);

QStringList gridReportLines(const TextGrid& grid, const QList<int>& widths, const QString& title,
                            const QDateTime& now);
QStringList gridReportLines(const QList<QStringList>& rows, const QList<int>& widths,
                            const QString& title, const QDateTime& now);

QStringList listReportLines(const QStringList& strings, const QString& title, const QDateTime& now);
