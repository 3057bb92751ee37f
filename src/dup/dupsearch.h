#pragma once

#include "app/grid.h"
#include "delete/reallydelete.h"
#include "platform/dirsearch.h"
#include "scan/walk.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

// The search behind the duplicate and large-file window: which files a walk keeps, the text
// line each kept file becomes, the grouping of duplicates, the order of large files, marking
// and the texts the window prints or copies.  Everything here works without a display; the
// window only shows the grid and forwards its buttons.
namespace dups {

// The two tools of the window; the values are those of shell::duplicateMode().
enum class Mode { FileHogs = 0, Duplicates = 1 };

// The mode the main window chose for the window it opens.
Mode currentMode();

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

// "Filename only", "Filename and size", ... in item order.
QStringList criterionTexts();

// ---- the size filter -------------------------------------------------------------------------

enum class SizeRule { LargerOrEqual, SmallerOrEqual, Between };

struct SizeFilter {
    SizeRule rule = SizeRule::LargerOrEqual;
    qint64 lower = 0; // bytes
    qint64 upper = 0; // bytes; used by Between only

    bool passes(qint64 size) const;
};

// A number of the window in bytes: as typed, or times 1024 for "KB".
qint64 limitBytes(qint64 number, bool kilobytes);

// ---- the grid --------------------------------------------------------------------------------

// Columns of the duplicate grid.
enum DupColumn { dcFilename, dcSize, dcModified, dcTime, dcAccess, dcFolder, dcType };
// Columns of the large-file grid.
enum HogColumn { hcSize, hcModified, hcTime, hcAccess, hcFileName, hcType };

// "Filename", "Size", ... or "Size", "Modified", ... "FileName", "Type".
QStringList gridHeaders(Mode mode);
int columnCount(Mode mode);
// The right-aligned size column, and the column that carries a row's mark.
int sizeColumn(Mode mode);
int markColumn(Mode mode);

// The full path of the file of a grid row (row >= 1): folder and name joined in the duplicate
// grid, the FileName cell in the large-file grid.
QString rowPath(const TextGrid& grid, int row, Mode mode);

// ---- found lines -----------------------------------------------------------------------------

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

    qsizetype count() const;
    // The found lines in their order.
    QStringList lines();

    // Appends the result rows to the grid and empties the list:
    //   duplicates: the groups of adjacent lines with equal keys (the criterion's fields,
    //     compared ignoring case), in list order, each group's rows together; a line that
    //     shares its key with no neighbour is left out.  Under "Size and modify date/time" and
    //     "Size and type" the lines are ordered by key first, so that every file of a group is
    //     found, whatever other files of its size lie between;
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

// ---- the search ------------------------------------------------------------------------------

struct SearchSettings {
    Mode mode = Mode::Duplicates;
    Criterion criterion = FilenameOnly;
    SizeFilter filter;
    QString pattern = QStringLiteral("*.*");
};

// One search: a walk whose files pass the size filter into the found list, then the rows of
// the grid.  The window gives the walker its progress, event and drive callbacks; the tool's
// abort flag is set by the window's Abort button, and by the search itself when the found list
// is full.
class Search {
public:
    Search(bool& abortFlag, const SearchSettings& settings);

    scan::Walker& walker() { return m_walker; }
    FoundList& found() { return m_found; }

    // Walks the drives, or one folder tree, collecting lines.
    void scanDrives(const QList<QChar>& letters);
    void scanTree(const QString& root);

    // True when the walk ended because the found list could take no more lines.
    bool listFull() const { return m_full; }

    // Replaces the grid's rows with the result: the groups of duplicates, or the large files
    // largest first.  The latter leaves the size sort direction as a descending "&Size" sort
    // does (ascending next).  Returns the number of result rows.
    int fillGrid(TextGrid& grid);

private:
    void collect(const scan::WalkFolder& folder, const platform::DirEntry& entry);

    bool& m_abort;
    SearchSettings m_settings;
    scan::Walker m_walker;
    FoundList m_found;
    bool m_full = false;
};

// The warning shown when the found list is full.
QString listFullMessage();
// "1,234 duplicates found" or "1,234 file hogs found".
QString foundText(Mode mode, qint64 rows);

// ---- marking ---------------------------------------------------------------------------------

// The marked files of the grid (the hand-over list) with their number and total size.
class Marks {
public:
    int count() const { return m_count; }
    qint64 bytes() const { return m_bytes; }
    // The marked files in the order they were marked, each with the identity its row lists.
    const ListedFiles& files() const { return m_files; }
    // Their full paths.
    QStringList paths() const;

    // Marks an unmarked row or unmarks a marked one (rows 1 .. rowCount() - 1); true when the
    // row is marked now.  The count and size change only when the file still exists.
    bool toggle(TextGrid& grid, int row, Mode mode);
    // Removes every mark.
    void clear(TextGrid& grid);
    // Marks every row, the earlier marks removed first.
    void markAll(TextGrid& grid, Mode mode);

    // "2 files 3,000 bytes".
    QString statusText() const;

private:
    int m_count = 0;
    qint64 m_bytes = 0;
    ListedFiles m_files;
};

// ---- sorting the large-file grid -------------------------------------------------------------

enum class SortCommand { Size, Date, AccessDate, Name, Type };

// The direction of each sort command, kept for the whole run: size, date and access date start
// descending, name and type ascending; each use reverses its command's direction.
struct SortDirections {
    SortDirection size{true};
    SortDirection date{true};
    SortDirection accessDate{true};
    SortDirection name{false};
    SortDirection type{false};

    SortDirection& of(SortCommand command);
};
SortDirections& sortDirections();

// The command of a click on a header cell of the large-file grid; none for "Time".
std::optional<SortCommand> sortCommandForColumn(int column);

// Sorts rows 1 to the last of the large-file grid with the command's current direction, then
// reverses that direction.
void sortHogGrid(TextGrid& grid, SortCommand command);

// ---- reports ---------------------------------------------------------------------------------

// What the print title is made of: the window's settings as the user sees them.
struct TitleSettings {
    Mode mode = Mode::Duplicates;
    SizeRule rule = SizeRule::LargerOrEqual;
    QString number1, number2; // as typed
    QString unit;             // "bytes" or "KB"
    QString pattern;
    QList<QChar> drives; // the ticked drives
};

// "Duplicates larger or equal to 250 KB matching *.* on drive(s) C D ".
QString printTitle(const TitleSettings& settings);

// The path of every row, one per line, lines separated by CR LF.
QString clipboardText(const TextGrid& grid, Mode mode);

} // namespace dups
