#pragma once

#include "app/filetime.h"
#include "app/grid.h"
#include "platform/dirsearch.h"
#include "platform/fileidentity.h"
#include "scan/search.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

// The search behind the folder-hogs window: how much the folders of the drives hold, as result
// rows, with the sorting, the print title and the copy the window makes.  Everything here works
// without a display.
namespace folderhogs {

// "Main folders": one row per folder directly below a drive's root, with the totals of its
// whole subtree.  "All Folders": one row per folder, the roots included, with the totals of the
// files directly in it.
enum class Mode { MainFolders, AllFolders };

// Columns of the grid.
enum Column { hcSize, hcUsed, hcFiles, hcSubfolders, hcAccess, hcName };
constexpr int kColumnCount = 6;
QStringList gridHeaders();

// What one listed folder holds.
struct Totals {
    qint64 bytes = 0;
    qint64 files = 0;
    qint64 subfolders = 0;
    quint32 latestAccess = 0; // the largest packed DOS access time; 0: no file counted
};

// "12.34", the share of the drive the bytes take, or "???" when they are not below the drive's
// capacity (an unknown capacity of 0 included).
QString percentUsed(qint64 bytes, quint64 capacity);

// A result row: the six cells, joined with the grid's cell separator.  The name is the path as
// found, its letter case kept.
QString resultRow(const Totals& totals, quint64 capacity, const QString& path);

// One search over the ticked drives (or one folder tree), in a single walk.  Every entry counts
// whatever its attributes (hidden files, links, devices), except that hidden folders and links
// to folders are never entered; a file with several names counts its bytes at its first name
// only.  In "Main folders" the folders below a main folder add their files to it and count as
// its sub-folders, the hidden ones excepted; in "All Folders" every sub-folder entry counts,
// hidden or not.  Rows are made as the folders close (post-order).  When the walk is aborted
// the folder in progress is still listed with what it held so far, and nothing after it.
class Search : public scan::Search {
public:
    explicit Search(Mode mode);

    // The rows made so far, in the order the folders closed.
    const QStringList& rows() const { return m_rows; }
    QStringList takeRows() { return std::move(m_rows); }

private:
    void enterFolder(const scan::WalkFolder& folder);
    void entry(const scan::WalkFolder& folder, const platform::DirEntry& entry);
    void leaveFolder(const scan::WalkFolder& folder, bool complete);
    // The totals an entry of a folder at this depth adds to; null when it adds to none.
    Totals* totalsAt(int depth);

    Mode m_mode;
    filetime::Packer m_packer;
    platform::FirstNames m_firstNames;
    std::vector<Totals> m_open; // the totals of the open folders, by depth
    quint64 m_capacity = 0;     // of the drive being walked
    bool m_stopped = false;     // the folder in progress at an abort is listed
    QStringList m_rows;
};

// The order the copy list keeps: descending by the whole row's text, letter case ignored.
void sortCopyOrder(QStringList& rows);

// The copy list as clipboard text: one line per row, its cells separated by TAB.
QString clipboardText(const QStringList& lines);

// The sort of each column with its direction for the whole run.  % Used has none.
struct SortDirections {
    std::array<SortDirection, kColumnCount> column{SortDirection(true), SortDirection(true),
                                                   SortDirection(true), SortDirection(true),
                                                   SortDirection(true), SortDirection(false)};
};

// Sorts rows 1 .. rowCount() - 1 by the column (number, date or text key) with its current
// direction, then reverses that direction; false (nothing done) for % Used and with fewer than
// 2 data rows.
bool sortGrid(TextGrid& grid, int column, SortDirections& directions);

// "Folder hogs on drive(s) C D ": the letter of each ticked drive followed by a blank.
QString printTitle(const QList<QChar>& letters);

} // namespace folderhogs
