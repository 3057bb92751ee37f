#include "clean/cachefolders.h"

#include "app/filetime.h"
#include "app/format.h"
#include "app/inifile.h"
#include "app/lists.h"
#include "platform/dirsearch.h"
#include "platform/environment.h"
#include "platform/registry.h"

#include <QDir>
#include <QFileInfo>

namespace cachefolders {

namespace {

const char* const kNumber = "Number";

QString section() {
    return QString::fromLatin1(lists::CacheFiles);
}

// A registry source of a cache folder.
struct Source {
    platform::RegistryRoot root;
    const char* key;
    const char* value;
};

const Source kSources[] = {
    {platform::RegistryRoot::CurrentUser, "Software\\Netscape\\Netscape Navigator\\Cache",
     "Cache Dir"},
    {platform::RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer\\Main",
     "Cache_Directory"},
    {platform::RegistryRoot::LocalMachine,
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths\\Path1",
     "CachePath"},
    {platform::RegistryRoot::LocalMachine,
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths\\Path2",
     "CachePath"},
    {platform::RegistryRoot::LocalMachine,
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths\\Path3",
     "CachePath"},
    {platform::RegistryRoot::LocalMachine,
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths\\Path4",
     "CachePath"},
};

// The browsers of the Chromium family, by their folder below the cache home.
const char* const kChromiumBrowsers[] = {"chromium", "google-chrome", "BraveSoftware/Brave-Browser",
                                         "microsoft-edge", "vivaldi"};

// The subfolders of a folder, in name order.
QStringList subfolders(const QString& folder) {
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

// Every <folder>/<profile>/<inside> that is a folder.
QStringList profileFolders(const QString& folder, const QString& inside) {
    QStringList found;
    for (const QString& profile : subfolders(folder)) {
        const QString candidate = JoinPath(JoinPath(folder, profile), inside);
        if (QFileInfo(candidate).isDir())
            found << candidate;
    }
    return found;
}

QStringList firefoxCaches() {
    return profileFolders(JoinPath(cacheHome(), QStringLiteral("mozilla/firefox")),
                          QStringLiteral("cache2/entries"));
}

QStringList chromiumCaches() {
    QStringList found;
    for (const char* browser : kChromiumBrowsers)
        found << profileFolders(JoinPath(cacheHome(), QString::fromLatin1(browser)),
                                QStringLiteral("Cache/Cache_Data"));
    return found;
}

// The folders of one source: the registry's value where it holds the key, else the browsers'
// caches that stand for it.
QStringList sourceFolders(int index) {
    const Source& source = kSources[index];
    const platform::RegistryKey* key =
        platform::registry().root(source.root).find(QString::fromLatin1(source.key));
    if (key) {
        const QString value = key->value(QString::fromLatin1(source.value));
        return value.isEmpty() ? QStringList() : QStringList{value};
    }
    if (index == 0)
        return firefoxCaches();
    if (index == 1)
        return chromiumCaches();
    return {};
}

} // namespace

// ---- the folder list -------------------------------------------------------------------------

QStringList readFolders(bool* fromSources) {
    const IniFile ini = settingsFile();
    const bool stored = ini.readInteger(section(), QString::fromLatin1(kNumber), -1) != -1;
    if (fromSources)
        *fromSources = !stored;
    if (!stored)
        return registryFolders();
    return readList(ini, section(), {});
}

bool writeFolders(const QStringList& folders) {
    IniFile ini = settingsFile();
    return writeList(ini, section(), folders);
}

// ---- where cache folders are found ------------------------------------------------------------

QString cacheHome() {
    const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    return JoinPath(platform::places().homeDir, QStringLiteral(".cache"));
}

QStringList registryFolders() {
    QStringList folders;
    for (int i = 0; i < int(std::size(kSources)); ++i)
        folders << sourceFolders(i);
    return folders;
}

QString aolCacheFolder() {
    const IniFile winIni(JoinPath(platform::places().configDir, QStringLiteral("win.ini")));
    const QString appPath =
        winIni.readString(QStringLiteral("waol"), QStringLiteral("apppath"), QString());
    if (appPath.isEmpty())
        return QString();
    const QString cache = JoinPath(appPath, QStringLiteral("cache"));
    return QFileInfo(cache).isDir() ? cache : QString();
}

QStringList initializeFolders() {
    QStringList folders = registryFolders();
    const QString aol = aolCacheFolder();
    if (!aol.isEmpty())
        folders << aol;
    return folders;
}

// ---- clearing --------------------------------------------------------------------------------

int ageInDays(qint64 accessTime, const QDate& today) {
    const quint32 packed = filetime::packedFromEpoch(accessTime);
    if (packed == 0)
        return -1;
    QDate date = filetime::unpackDos(packed).date();
    if (!date.isValid())
        date = QDate(1980, 1, 1);
    return int(qAbs(date.daysTo(today)));
}

QStringList ClearList::paths() const {
    return pathsOf(files);
}

ClearList collect(const QStringList& folders, int ageLimit, const QDate& today) {
    ClearList clear;
    platform::DirEntry entry;
    for (const QString& folder : folders) {
        if (folder.isEmpty())
            continue;
        platform::DirSearch search;
        if (!search.open(folder))
            continue; // a folder that is not there holds nothing to clear
        search.start(QStringLiteral("*.*"), platform::faAnyFile & ~quint32(platform::faDirectory));
        while (search.next(&entry)) {
            if (ageInDays(entry.accessTime, today) < ageLimit)
                continue;
            clear.bytes += entry.size;
            clear.files.append({JoinPath(folder, entry.name), platform::identityOf(entry)});
        }
    }
    return clear;
}

// ---- texts -----------------------------------------------------------------------------------

QString noFilesMessage() {
    return QStringLiteral("No files found to clear");
}

QString nothingFoundMessage() {
    return QStringLiteral(
        "Could not find any internet cache folders on your machine.  You may add them in "
        "manually if you know where they are located.  Typically they will exist under your "
        "browser folder with the folder name of \"cache\".");
}

QString selectFolderMessage() {
    return QStringLiteral("Select a folder from the list above");
}

} // namespace cachefolders
