#pragma once

#include "app/grid.h"
#include "platform/dirsearch.h"

#include <QString>
#include <QStringList>
#include <memory>

// The found files of the duplicate and large-file search, and the order they reach the grid in.
namespace dups {

// The two tools of the window; the values are those of shell::duplicateMode().
enum class Mode { FileHogs = 0, Duplicates = 1 };

// What two files must share to count as duplicates (the items of the criterion box).
enum Criterion {
    FilenameOnly = 0,
    FilenameAndSize = 1,
    FilenameSizeDateTime = 2,
    SizeOnly = 3,
    SizeDateTime = 4,
    SizeAndType = 5,
    TypeDateTime = 6
};
constexpr int kCriterionCount = 7;

// The found files of one search (the window's hidden sorted list of found lines), and how they
// become grid rows.
//
// A found line holds a file's fields as text, separated by TABs, in the order of the mode and
// criterion:
//   duplicates, criteria 0-2:  name, size, modified date, time, access date, folder, type
//   duplicates, criteria 3-5:  size, name, modified date, time, access date, folder, type
//   duplicates, criterion 6:   type, modified date, time, name, size, access date, folder
//   large files:               size, modified date, time, access date, path, type
// The lines are ordered field by field, each field compared ignoring case (compareIgnoringCase);
// lines equal but for case keep the order in which they came.
//
// A million files do not become a million lines: the list keeps one small record per file,
// with each distinct name, folder, size and type held once, and orders the records by the
// rank of each field's text among the texts of that field.  Text is made only for the rows
// that reach the grid.
//
// A file with several names (hard links: the same device and inode) is one file and is listed
// once, under its first name in walk order; its other names are dropped when the list is
// ordered (by lines() or moveToGrid()).  So no two names of one file are ever duplicates of
// each other, and a large file is listed once.  An entry whose inode is 0 is not known to be
// a name of any other.
class FoundList {
public:
    FoundList(Mode mode, Criterion criterion);
    ~FoundList();
    FoundList(const FoundList&) = delete;
    FoundList& operator=(const FoundList&) = delete;

    Mode mode() const { return m_mode; }
    Criterion criterion() const { return m_criterion; }

    // Adds a file of the folder; false when the list cannot take more files (its limit is
    // reached or memory ran out), and the file was not added.
    bool add(const QString& folder, const platform::DirEntry& entry);

    // The most files the list takes (no limit but memory by default).
    void setLimit(qsizetype files) { m_limit = files; }

    // The files added, every name counted until the list is ordered.
    qsizetype count() const;
    // The found lines in their order.
    QStringList lines();

    // Appends the result rows to the grid and empties the list:
    //   duplicates: the groups of adjacent lines with equal keys (the criterion's fields,
    //     compared ignoring case), in list order, each group's rows together; a line that
    //     shares its key with no neighbour is left out.  Under "Size and modify date/time" and
    //     "Size and type" the lines are ordered by key first, so that every file of a group is
    //     found, whatever other files of its size lie between.  Each row carries the number
    //     of its group (TextGrid::group), the one place later steps learn the groups from;
    //   large files: every file, largest first, files of equal size in descending order of
    //     their modified date, time, access date, folder, name and type.
    // Returns the number of rows appended.
    int moveToGrid(TextGrid& grid);

private:
    struct Data;
    Mode m_mode;
    Criterion m_criterion;
    qsizetype m_limit = -1;
    std::unique_ptr<Data> m_data;
};

} // namespace dups
