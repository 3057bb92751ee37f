#pragma once

#include "scan/walk.h"

#include <QList>
#include <QString>

namespace scan {

// A folder the walk could not read, and the system's reason.
struct SkippedFolder {
    QString path;
    QString reason;
};

// One search over one walker, the common part of every tool's search (duplicate and large
// files, files in a range of dates, folder hogs, quick clean, statistics): it owns the walker,
// stops it, and keeps the folders the walk had to pass over.  What the search found stays with
// each tool's class.  A window runs the walk in steps (scan::SteppedWalk on walker()); the
// command line and tests run it blocking.
class Search {
public:
    virtual ~Search();
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;

    Walker& walker() { return m_walker; }
    // Ends the walk; what was found so far stays.
    virtual void abort() { m_walker.abort(); }

    // The folders below a root that could not be opened, in walk order: all of them are
    // counted, the first kMaxSkippedListed are kept with their reasons.
    static constexpr int kMaxSkippedListed = 1000;
    qint64 skippedCount() const { return m_skippedCount; }
    const QList<SkippedFolder>& skippedFolders() const { return m_skipped; }
    void clearSkipped();

protected:
    // A search that owns its abort (abort() is the only way to stop it).
    Search();
    // A search whose blocking walks also stop when the caller's flag is set.
    explicit Search(const bool& abortFlag);

    Walker m_walker;

private:
    void recordSkips();

    qint64 m_skippedCount = 0;
    QList<SkippedFolder> m_skipped;
};

// What a status line adds after a scan that skipped folders: "3 folders could not be read"
// ("1 folder ..."); empty for 0.
QString skippedText(qint64 count);
// The list a window shows on request: one line "PATH: REASON" per folder kept, and a last line
// telling how many more there were when not all were kept.
QString skippedListText(const QList<SkippedFolder>& folders, qint64 count);
// What a window shows when asked: the count, then the first few folders of the list.
QString skippedReport(const QList<SkippedFolder>& folders, qint64 count);

} // namespace scan
