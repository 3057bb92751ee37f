#pragma once

#include "app/grid.h"
#include "app/hoggrid.h"
#include "delete/reallydelete.h"
#include "dup/foundlist.h"
#include "platform/dirsearch.h"
#include "scan/search.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

// The search behind the duplicate and large-file window: which files a walk keeps, the text
// line each kept file becomes, the grouping of duplicates, the order of large files, the path
// of a row and the title the window prints.  Everything here works without a display; the
// window only shows the grid and forwards its buttons (marking: app/gridmarks.h).
namespace dups {

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
// Columns of the large-file grid, and its sorting (app/hoggrid.h).
using hoggrid::hcAccess;
using hoggrid::hcFileName;
using hoggrid::hcModified;
using hoggrid::hcSize;
using hoggrid::hcTime;
using hoggrid::hcType;
using hoggrid::HogColumn;
using hoggrid::SortCommand;
using hoggrid::sortCommandForColumn;
using hoggrid::SortDirections;
using hoggrid::sortHogGrid;

// "Filename", "Size", ... or "Size", "Modified", ... "FileName", "Type".
QStringList gridHeaders(Mode mode);
int columnCount(Mode mode);
// The right-aligned size column, and the column that carries a row's mark.
int sizeColumn(Mode mode);
int markColumn(Mode mode);

// The full path of the file of a grid row (row >= 1): folder and name joined in the duplicate
// grid, the FileName cell in the large-file grid.
QString rowPath(const TextGrid& grid, int row, Mode mode);

// ---- the search ------------------------------------------------------------------------------

struct SearchSettings {
    Mode mode = Mode::Duplicates;
    Criterion criterion = FilenameOnly;
    SizeFilter filter;
    QString pattern = QStringLiteral("*.*");
};

// One search: a walk whose files pass the size filter into the found list, then the rows of
// the grid.  The window gives the walker its progress and drive callbacks and runs the walk in
// steps (scan::SteppedWalk); abort() stops it, and the search stops itself when the found list
// is full.  A blocking walk (scanDrives, scanTree) can also take an abort flag of the caller's.
class Search : public scan::Search {
public:
    explicit Search(const SearchSettings& settings);
    Search(bool& abortFlag, const SearchSettings& settings);

    // Ends the walk; what was found so far stays.
    void abort() override;

    FoundList& found() { return m_found; }

    // Walks the drives, or one folder tree, collecting lines.
    void scanDrives(const QList<QChar>& letters);
    void scanTree(const QString& root);

    // True when the walk ended because the found list could take no more lines.
    bool listFull() const { return m_full; }

    // Replaces the grid's rows with the result: the groups of duplicates, or the large files
    // largest first.  The latter leaves the size sort direction as a descending "&Size" sort
    // does (ascending next).  Returns the number of result rows.
    int fillGrid(TextGrid& grid, SortDirections& directions);

private:
    void collect(const scan::WalkFolder& folder, const platform::DirEntry& entry);

    bool m_ownAbort = false; // the flag when the caller gives none
    bool& m_abort;
    SearchSettings m_settings;
    FoundList m_found;
    bool m_full = false;
};

// The warning shown when the found list is full.
QString listFullMessage();
// "1,234 duplicates found" or "1,234 file hogs found".
QString foundText(Mode mode, qint64 rows);

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

} // namespace dups
