#pragma once

#include "app/grid.h"
#include "app/totals.h"
#include "stats/statscan.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

// What the pages of the statistics window show, as text: the grids, the figures of the Space,
// Deleted and Overhang pages, the status line and the caption.  Numbers "with separators" are
// whole numbers with the locale's thousands separator (FormatThousands).
namespace stats {

// ---- grids -------------------------------------------------------------------------------

// Type grid columns.
enum TypeColumn { tcExtension, tcType, tcSize, tcFiles, tcAverage };
constexpr int kTypeColumns = 5;
QStringList typeGridHeaders();

// The labels of the size classes as the size grid lists them, largest first ("Over 16MB" ...
// "0 - 16K"), and of the age classes, oldest first ("Over 4 years" ... "Not recorded").
QStringList sizeRowLabels();
QStringList ageRowLabels();

// doFileTypes: in selected-types-only mode every selected type is preset into the table first;
// then the grid gets a header row and one row per table row: extension, type, bytes, files and
// the average size in whole bytes ("0" for a type without files).
void presetSelectedTypes(TypeTable& table, const TypeFilter& filter);
void fillTypeGrid(TextGrid& grid, const TypeTable& table);

// fillGridSizes: 12 rows, row r showing size class 13 - r (bytes, files).
void fillGridSizes(TextGrid& grid, const StatTotals& totals);
// fillGridDates: the header "Accessed Date" (or Created, Modified), "Total file size",
// "Number of files"; 10 rows, row r showing age class 10 - r.
void fillGridDates(TextGrid& grid, const QString& title, const StatTotals& totals, TimeKind kind);
// fillCombinedGridDates: the same rows with the three times side by side.
void fillCombinedGridDates(TextGrid& grid, const StatTotals& totals);

// The sort commands of the type grid, each with its fixed direction.
enum class TypeSort { Extension, Type, Size, Files, Average };
// Sorts the data rows; false (nothing done) with fewer than two data rows.
bool sortTypeGrid(TextGrid& grid, TypeSort command);

// A grid cell read back as a number: the locale's thousands separators removed first.
QString stripCommas(const QString& text);

// ---- figures -----------------------------------------------------------------------------

// One drive of the Space page: its entry text, capacity and free bytes.
struct DriveSpace {
    QString entry;
    quint64 capacity = 0;
    quint64 free = 0;
};

// The Space page's figures and chart values (doDiskSize).
struct SpaceFigures {
    bool shown = false; // false when no ticked drive is ready (or their capacity is 0)
    QString total;      // "1,234 MB"
    QString free;       // "567 MB " (unit followed by a blank)
    QString used;       // "667 MB "
    bool freeRed = false;
    QString unit;          // "KB" or "MB" of the sums
    double totalValue = 0; // the sums in that unit
    double freeValue = 0;
    // The bar chart: one pair per drive (its letter, free and used in the drive's own unit),
    // then "Total" when more than one drive is shown.
    struct Bar {
        QString label;
        double free = 0;
        double used = 0;
    };
    QList<Bar> bars;
};
SpaceFigures doDiskSize(const QList<DriveSpace>& drives);

// The Deleted page: six fields and two "Since" labels from the running totals.
struct DeletedTexts {
    QString deletedFiles, deletedBytes, zippedFiles, zippedBytes, recycledFiles, recycledBytes;
    QString deletedSince, zippedSince;
};
DeletedTexts showFilesDeleted(const Totals& totals);

// The Overhang page's summary.
struct OverhangTexts {
    bool applicable = false; // false when there is nothing to show (no bytes counted)
    int arrowRow = -1;       // 0..4 for 4K..64K; -1 hides the arrow (not applicable)
    std::array<QString, kClusterSizes> waste;
    QString totalSizes;  // "123 KB" or "45 MB"
    QString filesLine;   // "Number of files scanned: 1,234"
    QString actualSpace; // "Actual space used 130 KB"; empty when the arrow is hidden
};
OverhangTexts doOverHang(const StatTotals& totals, qint64 clusterSize);

// "Finished - 1,234 files processed" [" 1,200 files found"] [" INCOMPLETE ... ABORTED"].
QString finishedText(qint64 processed, qint64 counted, bool aborted);
// "Statistics completed for drives C: D: " from the scanned letters ("c: d: ").
QString completedCaption(const QString& scannedLetters);

} // namespace stats
