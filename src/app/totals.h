#pragma once

#include "app/inifile.h"

#include <QDate>
#include <QString>

// The running totals of deleted, recycled and zipped files: [Vastel] of the settings file.

// -1 means nothing recorded yet.
struct Totals {
    qint64 ndelete = -1;
    qint64 sizeDelete = -1;
    qint64 nwaste = -1;
    qint64 sizeWaste = -1;
    qint64 delDate = -1; // day number of the first deletion or recycling
    qint64 nzip = -1;
    qint64 sizeZip = -1;
    qint64 zipDate = -1; // day number of the first zip
};

// Whole days since 30 December 1899 (day 0), and back.
qint64 dayNumber(const QDate& date);
QDate dateOfDayNumber(qint64 day);

Totals readTotals(const IniFile& ini);

// Adds to Ndelete, SizeDelete, NWaste and SizeWaste (a stored value counts only when above 0)
// and writes today's day number to DelDate when DelDate reads as -1.  Fails, with the reason,
// when the totals were not stored (the file could not be read whole, or not written).
Result<> addDeletionTotals(IniFile& ini, qint64 filesDeleted, qint64 bytesDeleted,
                           qint64 filesRecycled, qint64 bytesRecycled, const QDate& today);

// The same for NZip and SizeZip, with ZipDate.
Result<> addZipTotals(IniFile& ini, qint64 filesZipped, qint64 bytesZipped, const QDate& today);

// Writes -1 to every counter and both dates; fails as above.
Result<> resetTotals(IniFile& ini);
