#pragma once

#include "delete/reallydelete.h"

#include <QDate>
#include <QString>
#include <QStringList>

// The internet-cache window's logic: the list of browser cache folders in section [CacheFiles]
// of the settings file, where cache folders are found, and the clear list of one clearing.
namespace cachefolders {

// ---- the folder list -------------------------------------------------------------------------

// ReadInFromDisk: the stored folders in order (empty entries left out).  Without a Number key
// the folders of the registry sources are returned instead (fromSources is then set); a stored
// Number of 0 gives an empty list and no source is read.
QStringList readFolders(bool* fromSources = nullptr);
// WriteOutToDisk: Number and File1..FileN; false when the settings file cannot be written.
bool writeFolders(const QStringList& folders);

// ---- where cache folders are found ------------------------------------------------------------

// The six registry sources, in this order: the Netscape cache, then the Internet Explorer main
// cache and its four cache paths.  Where the registry view holds a source's key, that key's
// value is the source's folder (none when the value is empty).  Otherwise the source stands for
// the caches of today's browsers found below the cache home ($XDG_CACHE_HOME, else ~/.cache):
//   Netscape                   every mozilla/firefox/<profile>/cache2/entries
//   Internet Explorer (main)   every <browser>/<profile>/Cache/Cache_Data of chromium,
//                              google-chrome, BraveSoftware/Brave-Browser, microsoft-edge and
//                              vivaldi
//   the four cache paths       nothing
// each only where the folder exists, profiles in name order.
QStringList registryFolders();

// The online-service cache: [waol] apppath of win.ini in the profile folder joined with
// "cache", when that folder exists; empty otherwise.
QString aolCacheFolder();

// What "&Initialize" appends: the registry folders, then the online-service cache.
QStringList initializeFolders();

// The folder below which today's browsers keep their caches.
QString cacheHome();

// ---- clearing --------------------------------------------------------------------------------

// The age of a file by its last access: -1 when the access time has no packed date-and-time
// (0 or outside 1980..2107), otherwise the number of calendar days between its local date and
// today, as an absolute value (a time in the future has a positive age too).
int ageInDays(qint64 accessTime, const QDate& today);

// The files of one clearing (lb1) and their byte total.
struct ClearList {
    ListedFiles files;
    qint64 bytes = 0;

    bool isEmpty() const { return files.isEmpty(); }
    QStringList paths() const;
};

// Collects, folder by folder in list order (empty entries skipped), every entry directly inside
// the folder that is not a folder itself (hidden, read-only and system entries included; a
// symbolic link is listed as the link, with its own size) whose age is at least ageLimit.
// Subfolders are never entered; a folder that cannot be read contributes nothing.  A folder
// listed twice contributes its files twice.
ClearList collect(const QStringList& folders, int ageLimit, const QDate& today);

// The texts of the window.
QString noFilesMessage();      // "No files found to clear"
QString nothingFoundMessage(); // what "&Initialize" says when it found nothing
QString selectFolderMessage(); // "Select a folder from the list above"

} // namespace cachefolders
