#pragma once

#include "platform/dirsearch.h"

#include <QChar>
#include <QElapsedTimer>
#include <QList>
#include <QString>
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
// A folder's own files therefore come after everything below it (post-order).  A folder that
// cannot be opened (access refused, removed meanwhile, too many open folders) is reported to
// `folderSkipped` and the walk goes on with the next one.
//
// The walk keeps one open folder and one fixed buffer per level of the current path and nothing
// else: memory does not grow with the number of files or folders.  Subfolders are opened
// relative to their parents, so trees deeper than the system's path limit are walked too;
// names that are not valid UTF-8 arrive as decodeName gives them, and encodeName of a path that
// the walk built gives back the exact bytes.
//
// Everything runs in the caller's thread.  To keep a window alive the walk calls `progress`
// and then `pumpEvents` whenever the pump interval (20 ms by default) has passed since the last
// call, checked after every folder and every entry; the window processes its events there, and
// its Abort button sets the tool's abort flag, which the walk reads before every folder and
// every file.  A walker runs one walk at a time: no callback may start another walk on the
// same walker or destroy it.
//
// The walk never changes the process's current folder.
//
// Typical use in a tool:
//
//     static bool g_abort = false;               // the tool's own flag, set by its Abort button
//     scan::Walker walker(g_abort);
//     walker.setPattern(cbWildCard->currentText());
//     walker.callbacks().file = [&](const scan::WalkFolder& f, const platform::DirEntry& e) {
//         if (passesFilter(e)) lines << buildLine(f.path, e);
//     };
//     walker.callbacks().progress = [&](const QString& folder) { pnlSel->setText(folder); };
//     walker.callbacks().pumpEvents = [] { QCoreApplication::processEvents(); };
//     walker.callbacks().driveFailed = [&](QChar, const QString& root) {
//         msgbox::errorBox(scan::cantOpenDriveMessage(root));
//     };
//     g_abort = false;
//     walker.scanAllDrives(tickedLetters);
namespace scan {

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
    // The folder being examined, for the status bar; called right before pumpEvents.
    std::function<void(const QString& folder)> progress;
    // Lets the window process its pending events (repaint, the Abort button).
    std::function<void()> pumpEvents;
    // scanAllDrives: the root of a ready drive could not be opened.  Windows show
    // cantOpenDriveMessage(root) in an error box; the walk goes on with the next drive.
    std::function<void(QChar drive, const QString& root)> driveFailed;
    // A folder below the root could not be opened (error is the system's error number).
    std::function<void(const QString& path, int error)> folderSkipped;
};

// "Can't open drive " followed by the drive's root.
QString cantOpenDriveMessage(const QString& root);

class Walker {
public:
    // The walk reads the flag before every folder and every file; the tool owns it, clears it
    // before a walk and sets it from its Abort button.
    explicit Walker(const bool& abortFlag);
    ~Walker();
    Walker(const Walker&) = delete;
    Walker& operator=(const Walker&) = delete;

    // The file-name pattern of step 3 ("*.*" by default).  Folders are always searched with
    // "*.*", so files are found in subfolders of any name.
    void setPattern(const QString& pattern);
    QString pattern() const { return m_pattern.text(); }

    // The attribute mask of step 3 (platform::FileAttribute bits); 0x29 (read-only, volume,
    // archive) by default.  Statistics and folder hogs ask for faAnyFile, quick clean for
    // faReadOnly | faHidden | faVolumeId | faArchive.
    void setFileMask(quint32 mask) { m_fileMask = mask; }
    quint32 fileMask() const { return m_fileMask; }

    // Least time between two calls of progress/pumpEvents, in milliseconds (20 by default);
    // 0 calls them after every folder and entry.
    void setPumpInterval(int milliseconds) { m_pumpInterval = milliseconds; }

    WalkCallbacks& callbacks() { return m_callbacks; }

    // Number of entries handed to `file` since the counter was last reset.
    qint64 fileCount() const { return m_fileCount; }
    void resetFileCount() { m_fileCount = 0; }

    // Walks the root of each drive in the order given.  A drive that is not ready is skipped
    // without a word; a ready drive whose root cannot be opened goes to driveFailed.  Stops
    // when the abort flag is set.
    void scanAllDrives(const QList<QChar>& letters);

    // Walks one folder tree.  The root itself is entered even when it is hidden or reached
    // through a symbolic link; below it the rules above apply.  False when the root cannot be
    // opened (nothing is called then) or the abort flag was set before the walk began.
    bool walkTree(const QString& root);

private:
    struct Level;
    bool walk(const QString& root, QChar drive);
    Level& levelAt(int depth);
    void tick(const WalkFolder& folder);
    bool aborted() const { return m_abort; }

    const bool& m_abort;
    platform::WildcardPattern m_pattern;
    quint32 m_fileMask = platform::faReadOnly | platform::faVolumeId | platform::faArchive;
    int m_pumpInterval = 20;
    WalkCallbacks m_callbacks;
    qint64 m_fileCount = 0;

    std::vector<std::unique_ptr<Level>> m_levels; // reused from walk to walk
    platform::DirEntry m_entry;                   // reused for every entry
    QElapsedTimer m_sincePump;
};

} // namespace scan
