#include "app/filetime.h"

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

QDateTime unpackDos(quint32 packed) {
    if (packed == 0)
        return QDateTime();
    const quint32 date = packed >> 16;
    const quint32 time = packed & 0xFFFF;
    const QDate d(int(date >> 9) + 1980, int(date >> 5 & 0x0F), int(date & 0x1F));
    const QTime t(int(time >> 11), int(time >> 5 & 0x3F), int(time & 0x1F) * 2);
    if (!d.isValid() || !t.isValid())
        return QDateTime();
    return QDateTime(d, t, Qt::LocalTime);
}

} // namespace filetime
