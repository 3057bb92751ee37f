#pragma once

#include "app/filetime.h"
#include "app/grid.h"
#include "platform/dirsearch.h"
#include "scan/search.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <array>

// The search behind the files-accessed window: the files whose last access, creation or last
// write falls on or before a date, between two dates or on or after a date, as grid rows, with
// the sorting, the print title and the paths the window copies.  Everything here works without
// a display.
namespace dates {

// Which time of a file is tested (the items of rgWhat).
enum class Kind { Accessed = 0, Created = 1, Modified = 2 };
// How it is tested (the items of rgWhen).
enum class When { OnOrBefore = 0, Between = 1, OnOrAfter = 2 };

// Columns of the grid.
enum Column { mcFilename, mcAccessed, mcCreated, mcModified, mcSize, mcFolder, mcType };
constexpr int kColumnCount = 7;
QStringList gridHeaders();

// The date test.  Dates are calendar dates and both bounds are inclusive; a file without a date
// (an invalid fileDate) passes "On or Before" only.  `end` is used by Between only.
struct DateTest {
    When when = When::Between;
    QDate start;
    QDate end;

    bool passes(const QDate& fileDate) const;
};

struct SearchSettings {
    Kind kind = Kind::Accessed;
    DateTest test;
    QString pattern = QStringLiteral("*.*");
};

// One search: a walk of the default kind (regular files that are not hidden, hidden folders and
// links to folders not entered) whose files pass the date test become rows of the grid as
// they are found: name, the three dates, size, folder and type.  A date is the file's time in
// local time shown in the short date format; a time that has no packed DOS form (none
// recorded, before 1980) shows as an empty cell.  Each row keeps the identity of its file.
class Search : public scan::Search {
public:
    // The rows go to `grid` (which is emptied of data rows first).
    Search(const SearchSettings& settings, TextGrid& grid);

    int found() const { return m_found; }

private:
    void collect(const scan::WalkFolder& folder, const platform::DirEntry& entry);

    SearchSettings m_settings;
    TextGrid& m_grid;
    filetime::Packer m_packer;
    filetime::PackedTexts m_dateTexts;
    int m_found = 0;
};

// The full path of a row: Folder and Filename joined with one "/".  The name stays as the file
// system gave it, blanks at its ends included: trimmed, it would name another file.
QString rowPath(const TextGrid& grid, int row);

// The sort of each column with its direction for the whole run: dates start descending, the
// others ascending; each sort of a column reverses its direction.
struct SortDirections {
    std::array<SortDirection, kColumnCount> column{
        SortDirection(false), SortDirection(true),  SortDirection(true), SortDirection(true),
        SortDirection(false), SortDirection(false), SortDirection(false)};
};

// Sorts rows 1 .. rowCount() - 1 by the column (text, date or number key) with its current
// direction, then reverses that direction; nothing happens with fewer than 2 data rows.
void sortGrid(TextGrid& grid, int column, SortDirections& directions);

// "Files Last accessed between 1/2/1997 and 3/4/1997", from the texts of the two date edits.
QString printTitle(Kind kind, When when, const QString& start, const QString& end);

} // namespace dates
