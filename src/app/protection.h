#pragma once

#include <QString>
#include <QStringList>

// The protected folders: the non-delete list, the folders of the search path and the two system
// folders, and the lookup that tells whether a file or folder lies in one of them.
//
// Entries are kept in normal form: the canonical path (links resolved; a folder that does not
// exist keeps its text), ending in "/".  Names are compared as they are: Linux file names are
// case-sensitive.
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
    // the listed folders; a folder when it is, or contains, a listed folder.  The lists are
    // searched in the order system folders, search path, non-delete list; the first that matches
    // gives the reason.  The last folder looked up is cached with its reason (a file's folder
    // and the same folder asked about as a folder are different questions and cached apart).
    bool lookup(const QString& path, bool isFile, int* reason = nullptr);

    // Forgets the cached folder; the next lookup searches the lists again.
    void clearCache();

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
