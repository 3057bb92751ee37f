#pragma once

#include "app/grid.h"
#include "app/result.h"
#include "dup/foundlist.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The pair comparison of the duplicate grid, without a window: which two adjacent rows form a
// pair of one group of the search, how "Next pair" and "Prev pair" step through the grid,
// what each side of a pair shows of its file, and the checksums that tell whether the two
// files have the same contents.
namespace dups {

// ---- stepping through the pairs -------------------------------------------------------------

// True when rows `row` and `row` + 1 of the duplicate grid (row 0 is the header) are rows of
// one group of the search (TextGrid::group).  False when either row does not exist.
bool pairMatches(const TextGrid& grid, int row);

// The row "Next pair" moves to from the selected row: the first row below it that forms a pair
// with the row after it, or the last row when none does.  Nothing (no step) from the
// next-to-last row on.
std::optional<int> nextPairRow(const TextGrid& grid, int selected);

// The row "Prev pair" moves to: the first row above the selected one that forms a pair with
// the row after it, or row 1 when none does.  Nothing from row 1.
std::optional<int> prevPairRow(const TextGrid& grid, int selected);

// ---- one side of a pair ---------------------------------------------------------------------

// The single version line of a file that has no version resource.
QString noVersionLine();

// What one side of the comparison shows of its file.  A file that is gone (or a side without
// a row) leaves everything but the name and the folder empty, and its dates 0.
struct PairSide {
    bool found = false; // the file exists
    QString name;       // the Filename cell
    QString folder;     // the Folder cell
    QString path;       // both joined
    QString sizeBytes;  // "1,234 bytes"
    QString type;       // the type description of the name's extension
    QString create;     // date, time, two blanks and how long ago; "???" without a date
    QString modify;
    QString access; // date, two blanks and how long ago; "???" without a date
    QString attributes;
    QStringList versionLines; // label and value together; noVersionLine() when there are none

    // What the arrows compare: the packed creation and last-write date-times, and the day of
    // the last access (a Julian day number); 0 for none.
    quint32 created = 0;
    quint32 modified = 0;
    qint64 accessDay = 0;
};

// The side for the file `name` in `folder`, looked up now.
PairSide readPairSide(const QString& folder, const QString& name, const QDateTime& now);

// Which way an arrow between the two sides points: to the side whose value is later, an equals
// sign when both are the same, and no arrow when either side has no value (0).
enum class Arrow { None, Left, Right, Equal };
Arrow arrowBetween(qint64 left, qint64 right);

// Line `index` of `lines` is highlighted when both lists have more than one line and the
// other list has a different line (or none) at that position.
bool versionLineDiffers(const QStringList& lines, const QStringList& other, int index);

// ---- checksums ------------------------------------------------------------------------------

// The CRC-32 of a whole file, or why it could not be computed (the error box's text).  An empty
// file has the checksum of no bytes, 0.  progress, when given, is called between two blocks of
// a large file and stops the calculation by returning false (see TCRC32Calc).
using ChecksumResult = Result<quint32>;
ChecksumResult fileChecksum(const QString& path,
                            const std::function<bool(qint64 done, qint64 size)>& progress = {});

// The two checksum labels: each value as eight upper-case hexadecimal digits (blanks in front
// of a shorter number), then " file contents are identical" or " file contents differ".  The
// files are identical only when their checksums agree and their bytes were proven the same
// (sameContents in contents.h), so that two files of one checksum but different bytes differ
// here as they do in the groups.
struct ChecksumTexts {
    QString left, right;
};
ChecksumTexts checksumTexts(quint32 left, quint32 right, bool sameBytes);

} // namespace dups
