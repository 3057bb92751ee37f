#include "app/filetime.h"

#include "app/format.h"

#include <climits>

namespace filetime {

QDateTime toLocal(qint64 epochSeconds) {
    if (epochSeconds == 0)
        return QDateTime();
    return QDateTime::fromSecsSinceEpoch(epochSeconds, Qt::LocalTime);
}

quint32 packDos(const QDateTime& local) {
    if (!local.isValid())
        return 0;
    const QDate d = local.date();
    const QTime t = local.time();
    if (d.year() < 1980 || d.year() > 2107)
        return 0;
    const quint32 date = quint32((d.year() - 1980) << 9 | d.month() << 5 | d.day());
    const quint32 time = quint32(t.hour() << 11 | t.minute() << 5 | t.second() / 2);
    return date << 16 | time;
}

quint32 packedFromEpoch(qint64 epochSeconds) {
    return packDos(toLocal(epochSeconds));
}

QDate dosDate(quint32 packed) {
    const quint32 date = packed >> 16;
    return packed == 0 ? QDate()
                       : QDate(int(date >> 9) + 1980, int(date >> 5 & 0x0F), int(date & 0x1F));
}

QDateTime unpackDos(quint32 packed) {
    if (packed == 0)
        return QDateTime();
    const quint32 time = packed & 0xFFFF;
    const QDate d = dosDate(packed);
    const QTime t(int(time >> 11), int(time >> 5 & 0x3F), int(time & 0x1F) * 2);
    if (!d.isValid() || !t.isValid())
        return QDateTime();
    return QDateTime(d, t, Qt::LocalTime);
}

namespace {

constexpr qint64 kQuarterHour = 900;
// Marks a quarter hour in which the offset changes.
constexpr int kOffsetChanges = INT_MIN;

qint64 floorDiv(qint64 a, qint64 b) {
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int offsetAt(qint64 epochSeconds) {
    return QDateTime::fromSecsSinceEpoch(epochSeconds, Qt::LocalTime).offsetFromUtc();
}

} // namespace

quint32 Packer::pack(qint64 epochSeconds) {
    if (epochSeconds == 0)
        return 0;
    const qint64 quarter = floorDiv(epochSeconds, kQuarterHour);
    auto found = m_offsets.constFind(quarter);
    if (found == m_offsets.cend()) {
        const int first = offsetAt(quarter * kQuarterHour);
        const int last = offsetAt(quarter * kQuarterHour + kQuarterHour - 1);
        found = m_offsets.insert(quarter, first == last ? first : kOffsetChanges);
    }
    if (found.value() == kOffsetChanges)
        return packedFromEpoch(epochSeconds);
    const qint64 local = epochSeconds + found.value();
    const qint64 days = floorDiv(local, 86400);
    const int seconds = int(local - days * 86400);
    // Day 0 of the epoch is Julian day 2440588.
    const QDate d = QDate::fromJulianDay(days + 2440588);
    if (d.year() < 1980 || d.year() > 2107)
        return 0;
    const quint32 date = quint32((d.year() - 1980) << 9 | d.month() << 5 | d.day());
    const quint32 time =
        quint32((seconds / 3600) << 11 | (seconds / 60 % 60) << 5 | (seconds % 60) / 2);
    return date << 16 | time;
}

const QString& PackedTexts::date(quint32 packed) {
    const quint16 day = quint16(packed >> 16);
    auto found = m_dates.constFind(day);
    if (found == m_dates.constEnd()) {
        if (m_dateFormat.isEmpty())
            m_dateFormat = shortDateFormat();
        const QDate value = dosDate(packed);
        found = m_dates.insert(day, value.isValid() ? m_locale.toString(value, m_dateFormat)
                                                    : QString());
    }
    return *found;
}

const QString& PackedTexts::time(quint32 packed) {
    const quint16 key = quint16(packed);
    auto found = m_times.constFind(key);
    if (found == m_times.constEnd()) {
        if (m_timeFormat.isEmpty())
            m_timeFormat = longTimeFormat();
        found = m_times.insert(
            key,
            packed == 0 ? QString() : m_locale.toString(unpackDos(packed).time(), m_timeFormat));
    }
    return *found;
}

} // namespace filetime
