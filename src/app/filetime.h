#pragma once

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QString>
#include <QtGlobal>

// File times as the tools show and compare them.  A file time arrives as seconds since the Unix
// epoch (0 when the file system recorded none), is turned into local time, and then into the
// packed DOS form: the date in the high 16 bits (years since 1980 << 9 | month << 5 | day) and
// the time in the low 16 bits (hour << 11 | minute << 5 | seconds / 2).  A packed value of 0
// means "no date"; times before 1980 or after 2107 have no packed form and also give 0.
namespace filetime {

// Local time of an epoch time; invalid for 0.
QDateTime toLocal(qint64 epochSeconds);

// Packed DOS date and time of a local date-time; 0 when it has none.
quint32 packDos(const QDateTime& local);
// Packed DOS date and time of an epoch time; 0 for 0.
quint32 packedFromEpoch(qint64 epochSeconds);

// The date-time a packed value stands for; invalid for 0 or a malformed value.
QDateTime unpackDos(quint32 packed);

// The calendar date of a packed value, without its time and without touching the time zone;
// invalid for 0 or a malformed value.
QDate dosDate(quint32 packed);

// packedFromEpoch for many file times, as a walk over a large tree needs it: the local time's
// offset from UTC is asked for once per quarter of an hour of file time and remembered, and
// the calendar is worked out by arithmetic.  A quarter hour in which the offset changes is
// converted exactly, time by time.
class Packer {
public:
    quint32 pack(qint64 epochSeconds);

private:
    QHash<qint64, int> m_offsets; // quarter hour since the epoch -> offset in seconds
};

// The locale's short-date and long-time texts of packed values, each made once: the files of
// a listing or a search share few distinct days and times.  Empty for 0 or a malformed value.
class PackedTexts {
public:
    const QString& date(quint32 packed);
    const QString& time(quint32 packed);

private:
    QLocale m_locale;
    QString m_dateFormat;
    QString m_timeFormat;
    QHash<quint16, QString> m_dates; // date half -> text
    QHash<quint16, QString> m_times; // time half -> text
};

} // namespace filetime
