#include "dup/pairs.h"

#include "app/filetime.h"
#include "app/format.h"
#include "browse/details.h"
#include "browse/versioninfo.h"
#include "dup/crc32calc.h"
#include "dup/dupsearch.h"
#include "platform/dirsearch.h"
#include "stats/filetypes.h"

#include <QFile>
#include <QLocale>

namespace dups {

// ---- stepping through the pairs -------------------------------------------------------------

bool pairMatches(const TextGrid& grid, int row) {
    return grid.sameGroupAsNext(row);
}

std::optional<int> nextPairRow(const TextGrid& grid, int selected) {
    const int last = grid.rowCount() - 1;
    if (selected < 1 || selected >= last - 1)
        return std::nullopt;
    int row = selected + 1;
    while (row < last && !pairMatches(grid, row))
        ++row;
    return row;
}

std::optional<int> prevPairRow(const TextGrid& grid, int selected) {
    if (selected <= 1 || selected >= grid.rowCount())
        return std::nullopt;
    int row = selected - 1;
    while (row > 1 && !pairMatches(grid, row))
        --row;
    return row;
}

// ---- one side of a pair ---------------------------------------------------------------------

QString noVersionLine() {
    return QStringLiteral("Extended profile absent");
}

namespace {

// The date of a packed date-time, with its time when asked, two blanks and how long ago it
// was; "???" for none.
QString dateText(quint32 packed, bool withTime, const QDateTime& now) {
    const QDateTime local = filetime::unpackDos(packed);
    if (!local.isValid())
        return QStringLiteral("???");
    QString text = SafeDateToStr(local);
    if (withTime)
        text += QLatin1Char(' ') + QLocale().toString(local.time(), longTimeFormat());
    return text + QStringLiteral("  ") + RelativeDate(local, now);
}

} // namespace

PairSide readPairSide(const QString& folder, const QString& name, const QDateTime& now) {
    PairSide side;
    side.name = name;
    side.folder = folder;
    side.path = JoinPath(folder, name);
    platform::DirEntry entry;
    if (!platform::lookUpEntry(side.path, &entry))
        return side;
    side.found = true;
    side.versionLines = browse::versionInfoLines(side.path, false);
    if (side.versionLines.isEmpty())
        side.versionLines = QStringList{noVersionLine()};
    side.type = fileTypeDescriptionOfName(name);
    side.sizeBytes = FormatThousands(entry.size) + QStringLiteral(" bytes");
    side.created = filetime::packedFromEpoch(entry.creationTime);
    side.modified = filetime::packedFromEpoch(entry.writeTime);
    const quint32 accessed = filetime::packedFromEpoch(entry.accessTime);
    const QDate accessDate = filetime::dosDate(accessed);
    side.accessDay = accessDate.isValid() ? accessDate.toJulianDay() : 0;
    side.create = dateText(side.created, true, now);
    side.modify = dateText(side.modified, true, now);
    side.access = dateText(accessed, false, now);
    side.attributes = browse::attributeText(entry.attributes);
    return side;
}

Arrow arrowBetween(qint64 left, qint64 right) {
    if (left == 0 || right == 0)
        return Arrow::None;
    if (left > right)
        return Arrow::Left;
    if (right > left)
        return Arrow::Right;
    return Arrow::Equal;
}

bool versionLineDiffers(const QStringList& lines, const QStringList& other, int index) {
    if (lines.size() <= 1 || other.size() <= 1 || index < 0 || index >= lines.size())
        return false;
    return index >= other.size() || other.at(index) != lines.at(index);
}

// ---- checksums ------------------------------------------------------------------------------

ChecksumResult fileChecksum(const QString& path,
                            const std::function<bool(qint64 done, qint64 size)>& progress) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure{QStringLiteral("Could not open file ") + path};
    // No bytes cannot be mapped, and need not be: their checksum is 0.
    if (file.size() == 0)
        return quint32(0);
    TCRC32Calc calc;
    calc.setProgress(progress);
    return calc.calculate(&file);
}

ChecksumTexts checksumTexts(quint32 left, quint32 right, bool sameBytes) {
    const QString verdict = left == right && sameBytes
                                ? QStringLiteral(" file contents are identical")
                                : QStringLiteral(" file contents differ");
    return {QString::asprintf("%8X", left) + verdict, QString::asprintf("%8X", right) + verdict};
}

} // namespace dups
