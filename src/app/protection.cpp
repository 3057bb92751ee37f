#include "app/protection.h"

#include "app/foldersfile.h"
#include "app/format.h"
#include "platform/environment.h"
#include "platform/paths.h"

namespace {

QString withSlash(const QString& path) {
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

void addUnique(QStringList& list, const QString& entry) {
    if (!list.contains(entry))
        list.append(entry);
}

bool matches(const QStringList& list, const QString& key, bool isFile) {
    for (const QString& entry : list) {
        if (isFile ? entry == key : entry.contains(key))
            return true;
    }
    return false;
}

} // namespace

QString ProtectedFolders::normalFolder(const QString& folder) {
    return withSlash(platform::canonicalPath(folder));
}

void ProtectedFolders::build(const QStringList* nonDeleteList, const QStringList& pathElements,
                             const QString& systemDir, const QString& windowsDir) {
    m_lb1.clear();
    m_searchPath.clear();
    m_windows.clear();
    m_listNotBuilt = nonDeleteList == nullptr;
    m_listError.clear();
    if (nonDeleteList) {
        for (const QString& line : *nonDeleteList)
            m_lb1.append(line);
    }
    for (const QString& element : pathElements) {
        if (element.isEmpty())
            continue;
        const QString folder = withSlash(element);
        addUnique(m_lb1, folder);
        addUnique(m_searchPath, folder);
    }
    for (const QString& dir : {systemDir, windowsDir}) {
        if (dir.isEmpty())
            continue;
        m_lb1.append(withSlash(dir));
        m_windows.append(withSlash(dir));
    }
    normalizeExceptionList();
    takeIdentities();
    clearCache();
}

void ProtectedFolders::takeIdentities() {
    m_ids = Identities();
    const auto take = [this](const QStringList& list, QSet<platform::FolderId>& ids, int reason) {
        for (const QString& entry : list) {
            if (const auto id = platform::folderIdOfPath(entry))
                ids.insert(*id);
            else
                m_ids.missing[reason] << entry;
        }
    };
    take(m_windows, m_ids.windows, SystemFolder);
    take(m_searchPath, m_ids.searchPath, SearchPath);
    take(m_lb1, m_ids.all, NonDeleteList);
}

int ProtectedFolders::Identities::reasonOf(const platform::FolderId& folder) const {
    const QSet<platform::FolderId>* sets[] = {nullptr, &windows, &searchPath, &all};
    for (int reason = SystemFolder; reason <= NonDeleteList; ++reason) {
        if (sets[reason]->contains(folder))
            return reason;
        for (const QString& entry : missing[reason])
            if (platform::folderIdOfPath(entry) == folder)
                return reason;
    }
    return NotProtected;
}

int ProtectedFolders::reasonOfFolder(const platform::FolderId& folder) const {
    return m_ids.reasonOf(folder);
}

platform::FolderGuard ProtectedFolders::guard() const {
    return [ids = m_ids](const platform::FolderId& folder) {
        return reasonText(ids.reasonOf(folder));
    };
}

int ProtectedFolders::reasonOfText(const QString& key, bool isFile) const {
    if (matches(m_windows, key, isFile))
        return SystemFolder;
    if (matches(m_searchPath, key, isFile))
        return SearchPath;
    if (matches(m_lb1, key, isFile))
        return NonDeleteList;
    return NotProtected;
}

void ProtectedFolders::buildFromWorld() {
    const platform::Places& p = platform::places();
    const Result<QStringList> lines =
        foldersFileExists() ? readFoldersFile() : Result<QStringList>(QStringList());
    // A list that cannot be read protects nothing: the tools that delete refuse to open, as
    // they do when there is no list.
    const bool usable = foldersFileExists() && lines.ok();
    build(usable ? &lines.value() : nullptr, platform::searchPathElements(), p.systemDir,
          p.windowsDir);
    m_listError = lines.message();
}

QString ProtectedFolders::listProblem() const {
    if (!m_listNotBuilt)
        return QString();
    if (!m_listError.isEmpty())
        return QStringLiteral("The list of folders that should not be deleted (") +
               foldersFilePath() + QStringLiteral(") cannot be read: ") + m_listError;
    return QStringLiteral("The list of deletion exceptions has not been created yet.  Click on "
                          "the Build Non-Delete List button to initialize.");
}

void ProtectedFolders::normalizeExceptionList() {
    for (QStringList* list : {&m_lb1, &m_searchPath, &m_windows}) {
        for (QString& entry : *list)
            entry = normalFolder(entry);
        sortIgnoringCase(*list); // the lists keep their entries in ascending order
    }
}

bool ProtectedFolders::lookup(const QString& path, bool isFile, int* reason) {
    QString folder;
    if (isFile) {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        folder = slash >= 0 ? path.left(slash + 1) : QString();
    } else {
        folder = withSlash(path);
    }
    if (folder != m_lastKey || isFile != m_lastIsFile || m_lastKey.isEmpty()) {
        m_lastKey = folder;
        m_lastIsFile = isFile;
        ++m_searches;
        // The folder itself decides, reached however the path reaches it (links, bind mounts,
        // any depth); its canonical text as well, for a folder that cannot be opened.
        const std::optional<platform::FolderId> id = platform::folderIdOfPath(folder);
        m_lastReason = id ? m_ids.reasonOf(*id) : NotProtected;
        if (m_lastReason == NotProtected)
            m_lastReason = reasonOfText(normalFolder(folder), isFile);
    }
    if (reason)
        *reason = m_lastReason;
    return m_lastReason > NotProtected;
}

void ProtectedFolders::clearCache() {
    m_lastKey.clear();
    m_lastReason = NotProtected;
}

QString ProtectedFolders::reasonText(int reason) {
    switch (reason) {
    case SystemFolder:
        return QStringLiteral("in the Windows/System folder");
    case SearchPath:
        return QStringLiteral("in the search path");
    case NonDeleteList:
        return QStringLiteral("referenced in the registry");
    default:
        return QString();
    }
}
