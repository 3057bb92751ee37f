#include "app/totals.h"

#include <limits>

namespace {
const QString kTotals = QStringLiteral("Vastel");

const QDate& dayZero() {
    static const QDate zero(1899, 12, 30);
    return zero;
}

// a + b for amounts of at least 0, held at the largest number instead of wrapping around: a
// counter that has reached it stays there.
qint64 saturatingSum(qint64 a, qint64 b) {
    qint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return std::numeric_limits<qint64>::max();
    return sum;
}

// Adds the amounts to the stored counters (a stored value counts only when above 0) and sets
// the date key to today when it still reads as -1; all in one write.
Result<> addTotals(IniFile& ini, const QStringList& counterKeys, const QList<qint64>& amounts,
                   const QString& dateKey, const QDate& today) {
    const QList<qint64> stored = ini.readIntegers(kTotals, QStringList(counterKeys) << dateKey, -1);
    QList<QPair<QString, QString>> values;
    for (int i = 0; i < counterKeys.size(); ++i) {
        const qint64 old = stored[i];
        values.append(
            {counterKeys[i], QString::number(saturatingSum(amounts[i], old > 0 ? old : 0))});
    }
    if (stored.last() == -1)
        values.append({dateKey, QString::number(dayNumber(today))});
    return ini.writeStrings(kTotals, values);
}
} // namespace

qint64 dayNumber(const QDate& date) {
    return dayZero().daysTo(date);
}

QDate dateOfDayNumber(qint64 day) {
    return dayZero().addDays(day);
}

Totals readTotals(const IniFile& ini) {
    const QList<qint64> v = ini.readIntegers(
        kTotals,
        {QStringLiteral("Ndelete"), QStringLiteral("SizeDelete"), QStringLiteral("NWaste"),
         QStringLiteral("SizeWaste"), QStringLiteral("DelDate"), QStringLiteral("NZip"),
         QStringLiteral("SizeZip"), QStringLiteral("ZipDate")},
        -1);
    Totals t;
    t.ndelete = v[0];
    t.sizeDelete = v[1];
    t.nwaste = v[2];
    t.sizeWaste = v[3];
    t.delDate = v[4];
    t.nzip = v[5];
    t.sizeZip = v[6];
    t.zipDate = v[7];
    return t;
}

Result<> addDeletionTotals(IniFile& ini, qint64 filesDeleted, qint64 bytesDeleted,
                           qint64 filesRecycled, qint64 bytesRecycled, const QDate& today) {
    return addTotals(ini,
                     {QStringLiteral("Ndelete"), QStringLiteral("SizeDelete"),
                      QStringLiteral("NWaste"), QStringLiteral("SizeWaste")},
                     {filesDeleted, bytesDeleted, filesRecycled, bytesRecycled},
                     QStringLiteral("DelDate"), today);
}

Result<> addZipTotals(IniFile& ini, qint64 filesZipped, qint64 bytesZipped, const QDate& today) {
    return addTotals(ini, {QStringLiteral("NZip"), QStringLiteral("SizeZip")},
                     {filesZipped, bytesZipped}, QStringLiteral("ZipDate"), today);
}

Result<> resetTotals(IniFile& ini) {
    const QString none = QStringLiteral("-1");
    return ini.writeStrings(kTotals, {{QStringLiteral("Ndelete"), none},
                                      {QStringLiteral("SizeDelete"), none},
                                      {QStringLiteral("NZip"), none},
                                      {QStringLiteral("ZipDate"), none},
                                      {QStringLiteral("SizeZip"), none},
                                      {QStringLiteral("NWaste"), none},
                                      {QStringLiteral("SizeWaste"), none},
                                      {QStringLiteral("DelDate"), none}});
}
