#pragma once

#include "platform/fileidentity.h"
#include "platform/openfolder.h"

#include <QSet>
#include <QString>
#include <QStringList>

// The protected folders: the non-delete list, the folders of the search path and the two system
// folders, and the lookup that tells whether a file or folder lies in one of them.
//
// Entries are kept in normal form: the canonical path (links resolved; a folder that does not
// exist keeps its text), ending in "/".  Names are compared as they are: Linux file names are
// case-sensitive.  A file's protection follows the folder itself, not the text of a path: the
// identity (device and inode) of each listed folder is taken when the lists are built, and a
// file is protected when the folder that holds it has one of them, whatever path, symbolic link
// or bind mount reaches it.
class ProtectedFolders {
public:
    enum Reason { NotProtected = 0, SystemFolder = 1, SearchPath = 2, NonDeleteList = 3 };

    // Builds the three lists.  nonDeleteList is null when the non-delete list file does not exist
    // (the lists are still built, and listNotBuilt() is then true).  pathElements is PATH split at
    // ":" in order; systemDir and windowsDir are empty when unknown.
    void build(const QStringList* nonDeleteList, const QStringList& pathElements,
               const QString& systemDir, const QString& windowsDir);

    // build() from the current world: folders.txt, PATH and the two system folders.  A
    // folders.txt that exists but cannot be read counts as missing, and listError() says why.
    void buildFromWorld();

    // True when the non-delete list file was missing (or unreadable) at the last build.
    bool listNotBuilt() const { return m_listNotBuilt; }
    // Why the non-delete list file could not be read at the last build; empty when it could, or
    // when there was none.
    const QString& listError() const { return m_listError; }
    // Why the tools that delete must not run: the non-delete list file was missing or could not
    // be read at the last build.  Empty when it was read.
    QString listProblem() const;

    // Is the file (isFile) or folder protected?  A file is protected when its folder is one of
    // the listed folders (by identity; by text when the folder cannot be opened); a folder when
    // it is one, or contains one (by canonical path).  The lists are
    // searched in the order system folders, search path, non-delete list; the first that matches
    // gives the reason.  The last folder looked up is cached with its reason (a file's folder
    // and the same folder asked about as a folder are different questions and cached apart).
    bool lookup(const QString& path, bool isFile, int* reason = nullptr);

    // Forgets the cached folder; the next lookup searches the lists again.
    void clearCache();

    // The reason a folder with this identity is protected (NotProtected when it is not).
    int reasonOfFolder(const platform::FolderId& folder) const;
    // A guard for the runs that delete: the reason text for a protected folder, else empty.  It
    // holds its own copy of the identities, so it outlives this object.
    platform::FolderGuard guard() const;

    // "in the Windows/System folder", "in the search path", "referenced in the registry", or
    // empty for NotProtected.
    static QString reasonText(int reason);

    // The lists: every protected folder; the search-path folders; the two system folders.
    const QStringList& lb1() const { return m_lb1; }
    const QStringList& lbSearchPath() const { return m_searchPath; }
    const QStringList& lbWindows() const { return m_windows; }

    // How many times the lookup searched the lists (not answered from the cache).
    int searches() const { return m_searches; }

    // A folder in normal form: canonical, ending in "/".
    static QString normalFolder(const QString& folder);

private:
    void normalizeExceptionList();
    void takeIdentities();
    int reasonOfText(const QString& key, bool isFile) const;

    struct Identities {
        QSet<platform::FolderId> windows, searchPath, all;
        // Listed folders that did not exist when the lists were built, by reason: looked up
        // again when asked, so that a folder made since is protected too.
        QStringList missing[NonDeleteList + 1];
        int reasonOf(const platform::FolderId& folder) const;
    };
    Identities m_ids;

    QStringList m_lb1;
    QStringList m_searchPath;
    QStringList m_windows;
    bool m_listNotBuilt = true;
    QString m_listError;
    QString m_lastKey;
    bool m_lastIsFile = false;
    int m_lastReason = NotProtected;
    int m_searches = 0;
};
