#pragma once

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The settings file (vastel.ini) and the other INI file (vastel95), both in the profile folder.
//
// An INI file is opened for each operation and closed straight after; nothing is cached.
// Section and key names compare without regard to case.  Values are text; integers are decimal
// text, and a missing or invalid integer reads as the given default.  Nothing is ever removed:
// writes replace a value in place or append it, keeping every other line as it was.  A write
// replaces the file atomically, so a crash never leaves half a file.
//
// A file that exists but cannot be read whole reads as missing (every value its default).  From
// then on every write of that IniFile object refuses: what was read from it may have been
// defaults standing in for the user's values, and a write would replace the file with less than
// it holds.
class IniFile {
public:
    explicit IniFile(QString path);

    const QString& path() const { return m_path; }

    QString readString(const QString& section, const QString& key, const QString& def) const;
    bool writeString(const QString& section, const QString& key, const QString& value);

    qint64 readInteger(const QString& section, const QString& key, qint64 def) const;
    bool writeInteger(const QString& section, const QString& key, qint64 value);

    // Writes several keys of one section in a single replacement of the file, in the given
    // order (so a list or a set of totals is never left half written).  On failure false and,
    // when asked, why.
    bool writeStrings(const QString& section, const QList<QPair<QString, QString>>& values,
                      QString* error = nullptr);

    // The whole file (empty when it does not exist).  False when it exists but cannot be read
    // whole; the reason is kept, and every later write refuses.
    bool readContent(QByteArray* content) const;

private:
    QString m_path;
    mutable QString m_readError; // why a read failed; empty while every read succeeded
};

// vastel.ini and vastel95 of the current world (the profile folder is created on first write).
IniFile settingsFile();
IniFile vastel95File();

// ---- Lists: [TempFiles], [CacheFiles], [Include], [Exclude] ----------------------------------

namespace lists {
extern const char* const TempFiles;
extern const char* const CacheFiles;
extern const char* const Include;
extern const char* const Exclude;

// "*.tmp", "*.fts", "*.bak", "*.$$$"
QStringList defaultTempFiles();
// "*.doc", "*.exe", "*.dll" (for both [Include] and [Exclude])
QStringList defaultTypeList();
} // namespace lists

// Reads a list section: Number (default -1), then File1..FileNumber (default empty); empty
// entries are skipped.  When Number is missing (reads as -1) the defaults are returned instead.
// A stored Number of 0 gives an empty list.
QStringList readList(const IniFile& ini, const QString& section, const QStringList& defaults);

// Writes Number and File1..FileN, each entry cut at its first TAB.  Keys beyond N that a longer
// list left behind stay in the file and are never read.
bool writeList(IniFile& ini, const QString& section, const QStringList& entries);

// ---- Running totals: [Vastel] ---------------------------------------------------------------

// -1 means nothing recorded yet.
struct Totals {
    qint64 ndelete = -1;
    qint64 sizeDelete = -1;
    qint64 nwaste = -1;
    qint64 sizeWaste = -1;
    qint64 delDate = -1; // day number of the first deletion or recycling
    qint64 nzip = -1;
    qint64 sizeZip = -1;
    qint64 zipDate = -1; // day number of the first zip
};

// Whole days since 30 December 1899 (day 0), and back.
qint64 dayNumber(const QDate& date);
QDate dateOfDayNumber(qint64 day);

Totals readTotals(const IniFile& ini);

// Adds to Ndelete, SizeDelete, NWaste and SizeWaste (a stored value counts only when above 0)
// and writes today's day number to DelDate when DelDate reads as -1.  False, and when asked why,
// when the totals were not stored (the file could not be read whole, or not written).
bool addDeletionTotals(IniFile& ini, qint64 filesDeleted, qint64 bytesDeleted, qint64 filesRecycled,
                       qint64 bytesRecycled, const QDate& today, QString* error = nullptr);

// The same for NZip and SizeZip, with ZipDate.
bool addZipTotals(IniFile& ini, qint64 filesZipped, qint64 bytesZipped, const QDate& today,
                  QString* error = nullptr);

// Writes -1 to every counter and both dates; false as above.
bool resetTotals(IniFile& ini, QString* error = nullptr);

// ---- [ZipFile] and [Folders] ---------------------------------------------------------------

// [ZipFile] Path; the default stands for the root of drive C (the home folder here).
QString readZipPath(const IniFile& ini, const QString& def);
bool writeZipPath(IniFile& ini, const QString& path);
QString readZipComment(const IniFile& ini);
bool writeZipComment(IniFile& ini, const QString& comment);

// [Folders] When; "Not recorded" when missing.
QString readFoldersWhen(const IniFile& ini);
bool writeFoldersWhen(IniFile& ini, const QString& when);

// ---- Window placements ------------------------------------------------------------------

// The ten integers of a stored placement: flags, show state, minimised x and y, maximised x
// and y, and the normal rectangle's left, top, right and bottom.
struct WindowPlacement {
    int flags = 0;
    int showCmd = 1;
    int minX = 0, minY = 0;
    int maxX = 0, maxY = 0;
    int left = 0, top = 0, right = 0, bottom = 0;

    // Applied only when the right edge lies beyond the left one.
    bool usable() const { return right > left; }
    QString toString() const; // ten integers separated by one blank
    // A missing or unreadable number reads as 0, the show state as 1.
    static WindowPlacement parse(const QString& text);
};

enum class PlacementWindow {
    DuplicateSearch,
    FileHogs,
    QuickClean,
    Browser,
    Viewer,
    FilesAccessed
};

struct PlacementSlot {
    bool inVastel95 = false; // else vastel.ini
    QString section;         // "frmDups", "frmMods" or the executable's path
    QString key;             // "frmMods", "frmBrowse", "frmView"
};

PlacementSlot placementSlot(PlacementWindow window);

// The stored value (empty when none) and its writer.
QString readPlacementText(PlacementWindow window);
bool writePlacement(PlacementWindow window, const WindowPlacement& placement);

// ---- folders.txt: the non-delete list -------------------------------------------------------

QString foldersFilePath();
bool foldersFileExists();
// Lines without their CR LF (or LF) ends; empty lines skipped.  Empty when missing.
QStringList readFoldersFile();
// Replaces the file with the lines (CR LF ends); an empty list deletes the file.
bool writeFoldersFile(const QStringList& folders);
