#pragma once

#include "app/grid.h"
#include "app/listedfiles.h"

#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>

// The marked rows of a result grid: the hand-over list of their files (in the order they were
// marked, each with the identity its row lists), their number and the space deleting them would
// free.  A file with several names (hard links) frees its bytes only once every one of its
// names is marked, and then counts them once; until then its names count nothing.
class GridMarks {
public:
    int count() const { return m_count; }
    qint64 bytes() const { return m_bytes; }
    const ListedFiles& files() const { return m_files; }
    // The full paths of the marked files.
    QStringList paths() const;

    // Marks an unmarked row or unmarks a marked one (rows 1 .. rowCount() - 1) whose file is at
    // `path`; true when the row is marked now.  The count and size change only when the file
    // still exists (by its size now); the hand-over list changes either way.
    bool toggle(TextGrid& grid, int row, const QString& path);
    // Removes every mark.
    void clear(TextGrid& grid);
    // Marks every row (rows 1..rows when rows is given), the earlier marks removed first; pathOf
    // gives a row's file.
    void markAll(TextGrid& grid, const std::function<QString(int row)>& pathOf, int rows = -1);
    // Marks the copies in a grid of duplicates: every row of a group (TextGrid::group) but one,
    // so that each group keeps a file.  The row kept is the first, unless `better(row, kept)`
    // prefers a later one.  The earlier marks are removed first.
    void markCopies(TextGrid& grid, const std::function<QString(int row)>& pathOf,
                    const std::function<bool(int row, int kept)>& better = {});

    // "2 files 3,000 bytes".
    QString statusText() const;

private:
    // A file with several names of which some are marked.
    struct SharedFile {
        qint64 size = 0;
        quint32 names = 0;  // as the file system counts them
        quint32 marked = 0; // names marked
    };
    // Adds (or takes back, with sign -1) a marked name of a file of that size and names.
    void count(quint64 device, quint64 inode, qint64 size, quint32 names, int sign);

    int m_count = 0;
    qint64 m_bytes = 0;
    ListedFiles m_files;
    QHash<QPair<quint64, quint64>, SharedFile> m_shared;
};

// The paths of rows 1.. of a grid, one per line, lines separated by CR LF.
QString clipboardText(const TextGrid& grid, const std::function<QString(int row)>& pathOf);
