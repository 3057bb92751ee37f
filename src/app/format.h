#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>

// Small routines every tool uses to build paths, show numbers and dates, and read numbers from
// text without failing.  Numbers and dates follow the default QLocale.

// Folder and name joined with exactly one "/".  The folder is never empty.
QString JoinPath(const QString& folder, const QString& name);

// The number with the locale's thousands separator and no decimals ("1,200,000").
QString FormatThousands(qint64 value);

// Compares two texts ignoring case, as sorted lists of file names and paths order their lines:
// code unit by code unit, each case-folded; < 0, 0 or > 0.  Quick where texts share a long
// beginning, which is the rule for paths.
int compareIgnoringCase(QStringView a, QStringView b);

// Sorts texts in the order of the program's sorted lists: ignoring case (compareIgnoringCase),
// and texts that differ only in case by their code units, so that the order is always the same.
void sortIgnoringCase(QStringList& texts);

// Decimal text (optional leading blanks, an optional sign, digits) as a number; 0 when the text
// is not one, or does not fit.
qint64 SafeStrToInt(const QString& text);

// The locale's short date format, always with a four-digit year, so that a date written by the
// program reads back as the same date.
QString shortDateFormat();
// The locale's long time format (hours, minutes and seconds) without a time-zone name.
QString longTimeFormat();
// The short date, a blank and the locale's short time.
QString shortDateTimeFormat();

// The date in the short date format; 1 January 1980 in its place when the value is not a date.
QString SafeDateToStr(const QDateTime& value);

// How far the date lies from now: "Today", "Yesterday", "Tomorrow", "This week", "Last week",
// "Next week", "3 wks ago", "7 mons ago", "4 yrs 1 mon ago", ...  Empty for an invalid date.
QString RelativeDate(const QDateTime& value, const QDateTime& now);
QString RelativeDate(const QDateTime& value);

// A date-and-time as a day number since 30 December 1899 with the time as fraction, and back.
double toDayNumber(const QDateTime& value);
QDateTime fromDayNumber(double days);
