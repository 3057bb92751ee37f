#pragma once

#include <QDate>

// Steps of the date picker's spinners.  The day stays the same unless it lies past the end of
// the target month, where it becomes that month's last day (31 January plus one month is the
// last day of February, 29 February plus one year is 28 February).  Moving past December or
// before January changes the year.  An invalid date, and a step that would leave the calendar
// (there is no year 0), give the date unchanged.
QDate stepMonths(const QDate& date, int months);
QDate stepYears(const QDate& date, int years);
