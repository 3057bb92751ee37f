#pragma once

#include "app/grid.h"
#include "clean/temppatterns.h"
#include "dup/dupsearch.h"
#include "dup/foundlist.h"
#include "scan/search.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

// The search behind the quick-clean window: a walk over the chosen drives that keeps every file
// whose extension is one of the selected temporary-file extensions.  Hidden files are looked
// at; system files (links, sockets, devices) are not, and hidden folders are never entered.
// The found files become the rows of the large-file grid (Size, Modified, Time, Access,
// FileName, Type), largest first; marking, sorting and the clipboard text are the large-file
// grid's (dup/dupsearch.h, Mode::FileHogs).
namespace quickclean {

// The grid's layout.
constexpr dups::Mode kGridMode = dups::Mode::FileHogs;

// The attributes of the files a quick-clean walk looks at: read-only, hidden and archive ones,
// not system files or folders.
quint32 fileMask();

// One scan.  The window gives the walker its progress and drive callbacks and runs the walk in
// steps (scan::SteppedWalk); abort() stops it.  Only the files found are kept, not the files
// walked.
class Search : public scan::Search {
public:
    // The selected items of the pattern list ("*.tmp\tTMP File", ...).
    explicit Search(const QStringList& selectedItems);

    // Files found so far.
    qsizetype foundCount() const { return m_found.count(); }

    // Blocking walks (tests): the drives, or one folder tree.
    void scanDrives(const QList<QChar>& letters) { m_walker.scanAllDrives(letters); }
    void scanTree(const QString& root) { m_walker.walkTree(root); }

    // Replaces the grid's rows with the found files, largest first, and leaves the size sort
    // direction as a descending "&Size" sort leaves it (ascending next).  Returns the rows.
    int fillGrid(TextGrid& grid, dups::SortDirections& directions);

private:
    dups::FoundList m_found;
};

// "1,024 tempfiles found".
QString foundText(qint64 files);

// "Temporary files on drive(s) C D ": the upper-cased first character of each checked drive
// entry, each followed by a blank.
QString printTitle(const QStringList& checkedEntries);

} // namespace quickclean
