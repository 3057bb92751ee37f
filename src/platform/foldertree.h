#pragma once

#include "platform/fileidentity.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <sys/types.h>

struct stat;
#include <vector>

// A call here that fails as a bool (or an empty or -1 value) with the reason in a QString* uses
// the platform's low-level form; code outside platform/ wraps it in a Result (app/result.h).

namespace platform {

// A walk over a folder and everything below it that can remove what it meets.
//
// It works through open folder descriptors: nothing below the folder is reached through a path,
// so a folder swapped for a symbolic link halfway leads nowhere else, and trees deeper than the
// longest path the system takes are walked all the same (only a bounded number of folders is
// held open; a folder closed on the way down is opened again from its child's ".." and must
// then still be the folder it was, else the walk stops with an error).  It never follows a
// symbolic link (a link is an entry like a file), never enters a mount point (another file
// system, or a bind mount of a folder of the same one) and never enters the folders it is told
// to leave alone (the roots of the drives).
//
// next() hands out every entry that is not a folder (regular files, links, devices, ...), one
// at a time, depth first in the order of each folder's listing.  When a folder's entries are
// done the walk leaves it and, with removeFolders, removes it when it is empty; a folder that
// still holds something, or that was not entered, stays without a word.  A subfolder that
// cannot be opened is passed over.
class FolderTree {
public:
    struct Entry {
        QString path;          // full path
        QString name;          // last component
        bool regular = false;  // a regular file
        FileIdentity identity; // of a regular file or a link (see identityOfStat); else unknown
        qint64 size = 0;
        quint64 links = 1; // names the file has
        // The protective attributes: no write permission for the owner, a name starting with
        // ".", neither a regular file nor a folder.
        bool readOnly = false;
        bool hidden = false;
        bool system = false;
    };

    // The walk of `folder` that leaves the folders in `keepOut` alone.
    explicit FolderTree(const QString& folder, QList<FolderId> keepOut = {});
    ~FolderTree();
    FolderTree(const FolderTree&) = delete;
    FolderTree& operator=(const FolderTree&) = delete;

    // Opens the folder itself (its last component must not be a symbolic link).  False with the
    // reason when it cannot.
    bool open(QString* error = nullptr);

    // Remove each folder below once its entries are done (off at first).
    void setRemoveFolders(bool on) { m_removeFolders = on; }

    // The next entry; false when the walk is over (see error()).
    bool next(Entry* entry);

    // Why the walk stopped early; empty when it ran to its end.
    const QString& error() const { return m_error; }

    // ---- The entry next() returned last, reached through its open folder ----
    // Deletes it while it is still what next() saw (or, given `seen`, while it is a regular file
    // that `seen` matches); otherwise Changed and it stays.
    FileResult removeEntry(const FileIdentity* seen = nullptr);
    // Moves it to the trash while it is still what next() saw (or what `seen` says).
    FileResult trashEntry(const FileIdentity* seen = nullptr);
    // Gives a regular file its owner's write permission back.  The change gives the file a new
    // change time: the entry's identity as it is afterwards comes back in `now`, and later
    // checks of this entry expect it.
    bool clearReadOnly(QString* error = nullptr, FileIdentity* now = nullptr);

    // Removes the folder itself when it is empty, through its parent folder and only while the
    // name still leads to the folder that open() opened.  False with the reason otherwise.
    bool removeFolder(QString* error = nullptr);

private:
    struct Frame;
    bool enter(int parentFd, const QByteArray& name, const FolderId& id);
    bool leave();
    bool entryUnchanged(const struct stat& st, const FileIdentity* seen) const;
    void closeAll();
    void limitOpenFolders();

    QByteArray m_root; // the folder's path as the kernel knows it
    QList<FolderId> m_keepOut;
    FolderId m_rootId;
    quint64 m_rootMount = 0; // the mount the folder lies in; 0 when the kernel does not tell
    bool m_opened = false;
    bool m_removeFolders = false;
    QString m_error;
    std::vector<Frame> m_stack;
    QByteArray m_path; // path of the folder at the top of the stack
    // The entry next() returned last.
    QByteArray m_entryName;
    quint64 m_entryDevice = 0, m_entryInode = 0;
    qint64 m_entrySize = 0, m_entryModified = 0, m_entryChanged = 0;
    mode_t m_entryMode = 0;
    bool m_haveEntry = false;
};

} // namespace platform
