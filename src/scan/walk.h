#pragma once

#include "platform/dirsearch.h"

#include <QChar>
#include <QList>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

// The directory walk that every searching tool runs: duplicate and large files, files accessed,
// folder hogs, quick clean, statistics and the browser's folder sizes.
//
// Order of a walk, for each folder from the root down:
//
//   1. The abort flag is tested; the folder is opened and `enterFolder` is called.
//   2. Its subfolders, in the order the file system keeps them, are walked one after the other
//      (steps 1 to 4 for each).  Hidden folders (name starting with ".") and symbolic links to
//      folders are never entered, nor folders of another file system (a mount point below the
//      root).  The abort flag is tested before each subfolder.
//   3. Its own entries that match the pattern and the file mask (see platform/dirsearch.h for
//      the attribute rule) are handed to `file`, one by one, the abort flag tested before each.
//      With the default mask (read-only, volume, archive) these are the regular files that are
//      not hidden.  A tool that asks for faDirectory in its file mask also gets the subfolder
//      entries here (hidden ones too when it asks for faHidden).
//   4. `leaveFolder` is called.
//
// A folder's own files therefore come after everything below it (post-order).
//
// A folder that cannot be opened (access refused, removed meanwhile, too many open folders) is
// reported to `folderSkipped` and the walk goes on with the next one.
//
// Reading ahead.  By default worker threads read folders ahead of the walk: they open them, list
// them and examine every entry, while the callbacks run in the caller's thread and see exactly
// the entries, in exactly the order, that a walk reading each folder when it gets there would
// see.  The caller's thread reads too whenever it has caught up with the workers, so a walk
// keeps one thread per processor core busy (at most 8), the caller's among them.  Only the reading
// is shared with the workers; every callback, the abort flag and the tool's state stay in the
// caller's thread.  The work done ahead is bounded (see setReadAheadLimits), not the tree: a folder
// of a million entries is read and delivered a few hundred entries at a time.  With one thread
// (setThreadCount(1)) every folder is read in the caller's thread when the walk gets to it, keeping
// one open folder and one fixed buffer per level of the current path.  Either way subfolders are
// opened relative to their parents, so trees deeper than the system's path limit are walked too;
// names that are not valid UTF-8 arrive as decodeName gives them, and encodeName of a path that the
// walk built gives back the exact bytes.
//
// Two ways to run a walk:
//
//   - Blocking: walkTree and scanAllDrives return when the walk is over.  `progress` is called
//     with the folder being examined at most every 20 ms, checked after every folder and every
//     entry and while the walk waits for the workers.  For the command line and tests; a window
//     never blocks its event loop this way.
//   - In steps, for an object on the window's thread: startTree or startDrives, then step()
//     again and again (scan::SteppedWalk does it from the event loop), each call delivering
//     entries until its time is spent, `progress` once at the end of each step.  abort() ends
//     the walk at once; a flag of the tool's that is set between steps is seen by the next one.
//
// The abort flag (the tool's, given to the constructor, or the walker's own, set by abort()) is
// read before every folder and every file.  Once it is set the walk unwinds: every folder that
// enterFolder saw gets leaveFolder(complete = false), innermost first, and nothing else is
// delivered.  The workers are stopped at once and waited for (one system call each).  A walker
// runs one walk at a time: no callback may start another walk on the same walker or destroy
// it.  Destroying a walker in the middle of a stepped walk stops its workers without further
// callbacks.
//
// The walk never changes the process's current folder.
//
// Typical use: a search that owns its walker (see scan/search.h), run in steps from the
// window's event loop by scan::SteppedWalk, so that no window processes events by hand:
//
//     auto search = std::make_unique<quickclean::Search>(patterns);   // a scan::Search
//     scan::WalkCallbacks& callbacks = search->walker().callbacks();
//     callbacks.progress = [this](const QString& folder) { status->setText(folder); };
//     callbacks.driveFailed = [](QChar, const QString& root) {
//         msgbox::errorBox(scan::cantOpenDriveMessage(root));
//     };
//     auto walk = std::make_unique<scan::SteppedWalk>(search->walker());
//     connect(walk.get(), &scan::SteppedWalk::finished, this, &Window::scanFinished);
//     walk->startDrives(tickedLetters);
//
//     // The Abort button: the walk waits while the notice is up, then unwinds.
//     walk->pause();
//     search->abort();
//     walk->resume();
namespace scan {

class ReadAhead;

// The folder a callback is about.
struct WalkFolder {
    QString path;  // full path; no trailing "/" except for "/" itself
    int depth = 0; // 0 for the root of the walk (the drive's root in scanAllDrives)
    QChar drive;   // the drive being walked (upper case); null in walkTree
    QString root;  // the root of the walk
};

struct WalkCallbacks {
    // A folder was opened; its subfolders and files come next.
    std::function<void(const WalkFolder&)> enterFolder;
    // One entry of a folder that passed the pattern and the file mask: the tool's filter and
    // line builder.  The entry is valid during the call only (its name buffer is reused).
    std::function<void(const WalkFolder&, const platform::DirEntry&)> file;
    // A folder is done: all its subfolders and its own files were visited.  Called for every
    // folder that enterFolder saw, also while the walk unwinds after the abort flag was set;
    // `complete` is false then.
    std::function<void(const WalkFolder&, bool complete)> leaveFolder;
    // The folder being examined, for the status bar: every 20 ms or so in a blocking walk, at
    // the end of each step of a walk in steps.
    std::function<void(const QString& folder)> progress;
    // scanAllDrives: the root of a ready drive could not be opened.  Windows show
    // cantOpenDriveMessage(root) in an error box; the walk goes on with the next drive.
    std::function<void(QChar drive, const QString& root)> driveFailed;
    // A folder below the root could not be opened; reason is the system's message for the
    // error (platform::errorText), such as "Permission denied".
    std::function<void(const QString& path, const QString& reason)> folderSkipped;
};

// "Can't open drive " followed by the drive's root.
QString cantOpenDriveMessage(const QString& root);

class Walker {
public:
    // The walk reads the flag before every folder and every file; the tool owns it, clears it
    // before a walk and sets it from its Abort button (or a callback).
    explicit Walker(const bool& abortFlag);
    // A walker with no flag of the tool's: abort() is the only way to stop its walks.
    Walker();
    ~Walker();
    Walker(const Walker&) = delete;
    Walker& operator=(const Walker&) = delete;

    // The file-name pattern of step 3 ("*.*" by default).  Folders are always searched with
    // "*.*", so files are found in subfolders of any name.
    void setPattern(const QString& pattern);
    void setPattern(const platform::WildcardPattern& pattern) { m_pattern = pattern; }
    QString pattern() const { return m_pattern.text(); }

    // The attribute mask of step 3 (platform::FileAttribute bits); 0x29 (read-only, volume,
    // archive) by default.  Statistics and folder hogs ask for faAnyFile, quick clean for
    // faReadOnly | faHidden | faVolumeId | faArchive.
    void setFileMask(quint32 mask) { m_fileMask = mask; }
    quint32 fileMask() const { return m_fileMask; }

    // The threads that read folders, the caller's thread included: 0 (the default) for one per
    // processor core, at most 8; 1 reads every folder in the caller's thread alone.  Pattern,
    // mask, threads and limits are taken when a walk starts.
    void setThreadCount(int count) { m_threadCount = count; }
    // The number of threads a walk started now would use.
    int threadCount() const;

    // How far the threads may read ahead of the callbacks: at most `folders` folders open (the
    // open folders of the current path count too; 64 by default) and `entries` entries read and
    // not yet delivered (8192 by default; a chunk of a folder's files counts at least 32).
    // Below these the walk's own thread reads what it needs itself.
    void setReadAheadLimits(int folders, int entries);

    WalkCallbacks& callbacks() { return m_callbacks; }

    // Number of entries handed to `file` since the counter was last reset.
    qint64 fileCount() const { return m_fileCount; }
    void resetFileCount() { m_fileCount = 0; }

    // --- blocking walks

    // Walks the root of each drive in the order given.  A drive that is not ready is skipped
    // without a word; a ready drive whose root cannot be opened goes to driveFailed.  Stops
    // when the abort flag is set.
    void scanAllDrives(const QList<QChar>& letters);

    // Walks one folder tree.  The root itself is entered even when it is hidden or reached
    // through a symbolic link; below it the rules above apply.  False when the root cannot be
    // opened (nothing is called then) or the abort flag was set before the walk began.
    bool walkTree(const QString& root);

    // --- walks in steps

    // Starts a walk of one folder tree: false, with nothing called, as walkTree would return
    // false.  The root is opened here; enterFolder and everything after come from step().
    bool startTree(const QString& root);
    // Starts a walk of the drives' roots, as scanAllDrives walks them.
    void startDrives(const QList<QChar>& letters);
    // Delivers entries to the callbacks until about budgetMilliseconds have passed (at least
    // one entry when one is ready); true while the walk has more to deliver.  Waiting for the
    // workers counts against the budget, so a step on a slow disk returns in time too.
    bool step(int budgetMilliseconds = 16);
    // True from a successful start until step() returned false.
    bool isWalking() const { return m_depth >= 0 || m_nextDrive < m_drives.size(); }
    // Ends the walk: the workers stop at once, the folders entered so far are left (complete
    // false), nothing else is delivered and step() returns false.  Called from a callback, the
    // walk unwinds as soon as the callback returns; otherwise before abort() returns.  Works
    // for blocking walks too (from a callback).  The next start clears it.
    void abort();

    // Starting a walk while one is in step ends the old one without further callbacks.

private:
    struct Level;
    enum class Stage { Enter, Subfolders, Opening, Files };
    enum class Outcome { Delivered, Waiting };
    using Clock = std::chrono::steady_clock;

    void drop();
    bool beginTree(const QString& root, QChar drive);
    bool beginNextDrive();
    void run(Clock::time_point deadline, bool blocking);
    Outcome advance(Clock::time_point waitUntil, bool blocking);
    void endTree();
    Level& levelAt(int depth);
    void reportProgress(const WalkFolder& folder);
    Clock::time_point nextProgress() const;
    bool aborted() const { return m_abort || m_ownAbort; }

    bool m_ownAbort = false;
    const bool& m_abort;
    platform::WildcardPattern m_pattern;
    quint32 m_fileMask = platform::faReadOnly | platform::faVolumeId | platform::faArchive;
    int m_threadCount = 0;
    int m_maxFolders = 64;
    int m_maxEntries = 8192;
    WalkCallbacks m_callbacks;
    qint64 m_fileCount = 0;

    // The walk in progress: levels 0..m_depth are the folders from the root to the one being
    // delivered (-1: no tree); the drives still to walk follow.
    std::vector<std::unique_ptr<Level>> m_levels; // reused from walk to walk
    int m_depth = -1;
    QList<QChar> m_drives;
    qsizetype m_nextDrive = 0;
    bool m_delivering = false; // inside run(): callbacks may be running
    std::unique_ptr<ReadAhead> m_readAhead;
    platform::DirEntry m_entry; // reused for every entry of a one-thread walk
    Clock::time_point m_lastProgress;
};

} // namespace scan
