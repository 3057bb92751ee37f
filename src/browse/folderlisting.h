#pragma once

#include "app/grid.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// The contents of one folder as the browser lists them: one grid row per file that matches the
// pattern, with its dates, size, name and type, and the five ways of sorting those rows.
namespace browse {

enum Column { bcModified, bcTime, bcAccess, bcSize, bcFilename, bcType, kColumnCount };

// "Modified", "Time", "Access", "Size", "Filename", "Type".
QStringList gridHeaders();

// The sort commands, in the order of the sort menu.
enum class SortItem { Name, Modified, Access, Size, Type };
constexpr int kSortItemCount = 5;

// The direction of each sort command (true: descending), kept for the whole run.  A command
// chosen by the user reverses its direction first and then sorts with it; re-reading a folder
// sorts with the current direction and leaves it.  So the first name sort after the start is
// descending (the folder is listed ascending) and the first date and size sorts are ascending.
struct SortFlags {
    std::array<bool, kSortItemCount> descending{false, true, true, true, false};
    bool& of(SortItem item) { return descending[size_t(item)]; }
};

// The command of a click on a column header; none for "Time".
std::optional<SortItem> sortItemForColumn(int column);

// Sorts the data rows (1 to the last) by the command's column: names and types as text, dates
// as dates, sizes as numbers.
void sortRows(TextGrid& grid, SortItem item, bool descending);

struct Listing {
    int files = 0;         // the rows that list a file
    qint64 totalBytes = 0; // their sizes added up
    QString error;         // why the folder could not be read; empty when it was
};

// Replaces the grid's rows by the files of the folder whose names match the pattern, ascending
// by name ignoring case: everything but folders, hidden files and links included.  Each row
// keeps the identity of its file.  A folder without such files gets one empty row.  Dates are
// shown in local time; a time that has no packed form (none recorded, before 1980) leaves its
// cells empty.
Listing fillGrid(TextGrid& grid, const QString& folder, const QString& pattern);

// The full path of the file of a row; empty for a row that lists none.
QString rowPath(const TextGrid& grid, const QString& folder, int row);

} // namespace browse
