#include "stats/statpages.h"

#include "app/format.h"
#include "stats/filetypes.h"

#include <QLocale>
#include <cmath>

namespace stats {

QStringList typeGridHeaders() {
    return {QStringLiteral("Extension"), QStringLiteral("Type"), QStringLiteral("Size"),
            QStringLiteral("# Files"), QStringLiteral("Avg File Size")};
}

QStringList sizeRowLabels() {
    return {
        QStringLiteral("Over 16MB"),   QStringLiteral("8MB - 16MB"),  QStringLiteral("4MB - 8MB"),
        QStringLiteral("2MB - 4MB"),   QStringLiteral("1MB - 2MB"),   QStringLiteral("512K - 1MB"),
        QStringLiteral("256K - 512K"), QStringLiteral("128K - 256K"), QStringLiteral("64K - 128K"),
        QStringLiteral("32K - 64K"),   QStringLiteral("16K - 32K"),   QStringLiteral("0 - 16K")};
}

QStringList ageRowLabels() {
    return {QStringLiteral("Over 4 years"),   QStringLiteral("3 - 4 years"),
            QStringLiteral("2 - 3 years"),    QStringLiteral("1 - 2 years"),
            QStringLiteral("121 - 365 days"), QStringLiteral("61 - 120 days"),
            QStringLiteral("31 - 60 days"),   QStringLiteral("8 - 30 days"),
            QStringLiteral("<= 7 days"),      QStringLiteral("Not recorded")};
}

void presetSelectedTypes(TypeTable& table, const TypeFilter& filter) {
    if (!filter.selectedOnly())
        return;
    for (const QString& entry : filter.entries)
        table.insertType(extractExtension(entry), 0, true);
}

void fillTypeGrid(TextGrid& grid, const TypeTable& table) {
    grid.setColumnCount(kTypeColumns);
    grid.clearRows();
    grid.setHeader(typeGridHeaders());
    grid.reserveRows(table.size() + 1);
    for (const TypeRow& r : table.rows()) {
        // Files without an extension are listed under the name "*." has.
        const QString type =
            fileTypeDescription(r.extension.isEmpty() ? QStringLiteral("*.") : r.extension);
        grid.appendRow({r.extension, type, FormatThousands(r.bytes), FormatThousands(r.files),
                        FormatThousands(r.files > 0 ? r.bytes / r.files : 0)});
    }
}

void fillGridSizes(TextGrid& grid, const StatTotals& totals) {
    grid.setColumnCount(3);
    grid.clearRows();
    grid.setHeader({QStringLiteral("File size"), QStringLiteral("Total file size"),
                    QStringLiteral("Number of files")});
    const QStringList labels = sizeRowLabels();
    for (int r = 1; r <= kSizeClasses; ++r) {
        const size_t c = size_t(kSizeClasses - r); // class 13 - r
        grid.appendRow({labels[r - 1], FormatThousands(totals.sizeClassBytes[c]),
                        FormatThousands(totals.sizeClassCount[c])});
    }
}

void fillGridDates(TextGrid& grid, const QString& title, const StatTotals& totals, TimeKind kind) {
    grid.setColumnCount(3);
    grid.clearRows();
    grid.setHeader({title, QStringLiteral("Total file size"), QStringLiteral("Number of files")});
    const QStringList labels = ageRowLabels();
    for (int r = 1; r <= kAgeClasses; ++r) {
        const size_t i = size_t(kAgeClasses - r);
        grid.appendRow({labels[r - 1], FormatThousands(totals.ageBytes[kind][i]),
                        FormatThousands(totals.ageCount[kind][i])});
    }
}

void fillCombinedGridDates(TextGrid& grid, const StatTotals& totals) {
    grid.setColumnCount(7);
    grid.clearRows();
    grid.setHeader({QStringLiteral("Combined dates"), QStringLiteral("Access Size"),
                    QStringLiteral("Access # files"), QStringLiteral("Create Size"),
                    QStringLiteral("Create # files"), QStringLiteral("Modify Size"),
                    QStringLiteral("Modify # files")});
    const QStringList labels = ageRowLabels();
    for (int r = 1; r <= kAgeClasses; ++r) {
        const size_t i = size_t(kAgeClasses - r);
        QStringList cells{labels[r - 1]};
        for (int k = tkAccess; k <= tkModified; ++k)
            cells << FormatThousands(totals.ageBytes[size_t(k)][i])
                  << FormatThousands(totals.ageCount[size_t(k)][i]);
        grid.appendRow(cells);
    }
}

bool sortTypeGrid(TextGrid& grid, TypeSort command) {
    const int last = grid.rowCount() - 1;
    if (last < 2)
        return false;
    switch (command) {
    case TypeSort::Extension:
        SortGridByText(grid, 1, last, tcExtension, false);
        break;
    case TypeSort::Type:
        SortGridByText(grid, 1, last, tcType, false);
        break;
    case TypeSort::Size:
        SortGridByNumber(grid, 1, last, tcSize, true);
        break;
    case TypeSort::Files:
        SortGridByNumber(grid, 1, last, tcFiles, true);
        break;
    case TypeSort::Average:
        SortGridByNumber(grid, 1, last, tcAverage, true);
        break;
    }
    return true;
}

QString stripCommas(const QString& text) {
    QString out = text;
    return out.remove(QLocale().groupSeparator());
}

// ---- figures -----------------------------------------------------------------------------

namespace {

// A value truncated to a whole number, with separators.
QString wholeText(double value) {
    return FormatThousands(qint64(std::trunc(value)));
}

} // namespace

SpaceFigures doDiskSize(const QList<DriveSpace>& drives) {
    SpaceFigures f;
    double total = 0, free = 0;
    for (const DriveSpace& d : drives) {
        total += double(d.capacity);
        free += double(d.free);
        // Each drive's pair in its own unit: KB below 10000 KB of capacity, else MB.
        double divisor = 1024;
        if (double(d.capacity) / 1024 >= 10000)
            divisor = 1024.0 * 1024;
        f.bars.append({d.entry.left(1), std::round(double(d.free) / divisor),
                       std::round(double(d.capacity - std::min(d.free, d.capacity)) / divisor)});
    }
    total /= 1024;
    free /= 1024;
    f.unit = QStringLiteral("KB");
    if (total >= 10000) {
        total /= 1024;
        free /= 1024;
        f.unit = QStringLiteral("MB");
    }
    if (!(total > 0)) {
        f.bars.clear();
        return f;
    }
    f.shown = true;
    f.totalValue = total;
    f.freeValue = free;
    f.total = wholeText(total) + QLatin1Char(' ') + f.unit;
    f.free =
        FormatThousands(qint64(std::round(free))) + QLatin1Char(' ') + f.unit + QLatin1Char(' ');
    f.used = FormatThousands(qint64(std::round(total - free))) + QLatin1Char(' ') + f.unit +
             QLatin1Char(' ');
    // Little room left: the free figure turns red.
    f.freeRed = std::round(free) <= 5;
    if (drives.size() > 1)
        f.bars.append({QStringLiteral("Total"), std::round(free), std::round(total - free)});
    return f;
}

DeletedTexts showFilesDeleted(const Totals& t) {
    DeletedTexts d;
    const QString na = QStringLiteral("n/a");
    const auto pair = [&na](qint64 count, qint64 bytes, QString* files, QString* size) {
        if (count > 0) {
            *files = FormatThousands(count) + QStringLiteral(" files");
            *size = FormatThousands(bytes) + QStringLiteral(" bytes");
        } else {
            *files = *size = na;
        }
    };
    pair(t.ndelete, t.sizeDelete, &d.deletedFiles, &d.deletedBytes);
    pair(t.nzip, t.sizeZip, &d.zippedFiles, &d.zippedBytes);
    pair(t.nwaste, t.sizeWaste, &d.recycledFiles, &d.recycledBytes);
    const auto since = [](qint64 day) {
        return day < 0 ? QString()
                       : QStringLiteral("Since ") +
                             QLocale().toString(dateOfDayNumber(day), shortDateFormat());
    };
    d.deletedSince = since(t.delDate);
    d.zippedSince = since(t.zipDate);
    return d;
}

OverhangTexts doOverHang(const StatTotals& totals, qint64 clusterSize) {
    OverhangTexts o;
    const qint64 total = totals.totalBytes();
    if (total == 0)
        return o;
    o.applicable = true;
    for (int k = 0; k < kClusterSizes; ++k) {
        o.waste[size_t(k)] = FormatThousands(totals.clusterWaste[size_t(k)]);
        if (kClusterSize[k] == clusterSize)
            o.arrowRow = k;
    }
    const bool inKB = total < 1048576;
    const qint64 divisor = inKB ? 1024 : 1048576;
    const QString unit = inKB ? QStringLiteral(" KB") : QStringLiteral(" MB");
    o.totalSizes = FormatThousands(total / divisor) + unit;
    o.filesLine =
        QStringLiteral("Number of files scanned: ") + FormatThousands(totals.filesCounted);
    if (o.arrowRow >= 0) {
        const qint64 actual = totals.clusterWaste[size_t(o.arrowRow)] + total;
        o.actualSpace =
            QStringLiteral("Actual space used ") + FormatThousands(actual / divisor) + unit;
    }
    return o;
}

QString finishedText(qint64 processed, qint64 counted, bool aborted) {
    QString s = QStringLiteral("Finished - ") + FormatThousands(processed) +
                QStringLiteral(" files processed");
    if (counted != processed)
        s += QLatin1Char(' ') + FormatThousands(counted) + QStringLiteral(" files found");
    if (aborted)
        s += QStringLiteral(" INCOMPLETE ... ABORTED");
    return s;
}

QString completedCaption(const QString& scannedLetters) {
    return QStringLiteral("Statistics completed for drives ") + scannedLetters.toUpper();
}

} // namespace stats
