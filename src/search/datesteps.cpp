#include "search/datesteps.h"

namespace {

// The date, or when it cannot be one (a year the calendar does not have), the fallback.
QDate clampedDate(int year, int month, int day, const QDate& fallback) {
    const int last = QDate(year, month, 1).daysInMonth();
    const QDate d(year, month, day < last ? day : last);
    return d.isValid() ? d : fallback;
}

} // namespace

QDate stepMonths(const QDate& date, int months) {
    if (!date.isValid())
        return date;
    // Months counted from January of year 0, so that negative steps floor correctly.
    const long long index = date.year() * 12LL + (date.month() - 1) + months;
    long long year = index / 12;
    long long month = index % 12;
    if (month < 0) {
        month += 12;
        --year;
    }
    return clampedDate(int(year), int(month) + 1, date.day(), date);
}

QDate stepYears(const QDate& date, int years) {
    if (!date.isValid())
        return date;
    return clampedDate(date.year() + years, date.month(), date.day(), date);
}
