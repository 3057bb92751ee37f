#pragma once

#include "app/filetime.h"
#include "platform/dirsearch.h"
#include "scan/search.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <vector>

// The statistics of one or more drives: one walk over every file (hidden and system files
// included, hidden folders not entered), each file counted in a size class, an age class of
// each of its three times, the hour slots of its creation and last write, the attribute tallies,
// the file-type table and, for a single drive, the space it would waste at five cluster sizes.
// Every count and sum is 64 bits wide.  A file with several names (hard links) is counted once,
// at its first name in walk order.  Everything here works without a display.
namespace stats {

// ---- classes -------------------------------------------------------------------------------

constexpr int kSizeClasses = 12;
constexpr int kAgeClasses = 10;
constexpr int kHours = 24;
constexpr int kClusterSizes = 5;
constexpr qint64 kClusterSize[kClusterSizes] = {4096, 8192, 16384, 32768, 65536};

// Size class 1..12 of a size: the first class whose upper bound (16384, 32768, ... 16777216
// bytes, inclusive) is not below it; 12 for everything above 16 MiB, whatever its size.
int sizeClassOf(qint64 size);

// Age class 0..9 of an age in whole days: 0 for any negative age (not recorded), then 0-7,
// 8-30, 31-60, 61-120, 121-365, 366-730, 731-1095, 1096-1460 and above 1460.
int ageToIndex(qint64 days);

// Whole days between a packed DOS date-time and today, either way round; -1 for 0 (no date).
// A value that is no valid DOS date-time counts as 1 January 1980, 00:00.
qint64 fileDateAgeDays(quint32 packed, const QDate& today);

// The hour (0..23) of a packed DOS date-time; -1 for 0, 0 for a value that is no valid one.
int fileDateHour(quint32 packed);

// ---- the file-type filter ----------------------------------------------------------------

// Which files are counted: all, or decided by whether the file's extension is one of the
// selected types.
struct TypeFilter {
    bool allFiles = true;
    bool whenListed = true;     // the answer for a file whose extension is listed
    bool whenNotListed = false; // the answer for any other file
    QStringList entries;        // selected-types entries: pattern, TAB, description

    // The selected-types mode (the table shows every selected type, with 0 files if need be).
    bool selectedOnly() const { return !allFiles && whenListed && !whenNotListed; }
};

// The extension of a selected-types entry: its text from the second character up to its first
// TAB, in lower case ("*.doc\tWord" gives ".doc"; "*." gives ".", which matches no file).
QString extractExtension(const QString& entry);

// A filter prepared for many names.
class FileFilter {
public:
    explicit FileFilter(const TypeFilter& filter = TypeFilter());
    bool isThisSelected(QStringView name) const;

private:
    bool m_all;
    bool m_whenListed;
    bool m_whenNotListed;
    std::vector<QString> m_extensions; // lower case, with the dot
};

// The extension of a file name: from its last dot, dot included; empty when there is none.
QStringView fileExtension(QStringView name);

// ---- the file-type table -----------------------------------------------------------------

struct TypeRow {
    QString extension; // upper case with its dot; empty for files without an extension
    qint64 files = 0;
    qint64 bytes = 0;
};

// One row per extension, sorted by extension ignoring case and searched by halving.
class TypeTable {
public:
    // Adds one file (or, with preset, a row of 0 files when the extension has none yet).
    // Extensions of 6 or more characters, dot included, are left out.
    void insertType(QStringView extension, qint64 size, bool preset);
    // The row of an extension, or -1.
    int findTypeRow(QStringView extension) const;

    const std::vector<TypeRow>& rows() const { return m_rows; }
    int size() const { return int(m_rows.size()); }
    void clear() { m_rows.clear(); }

    // The rows as lines: extension, TAB, files, TAB, bytes.
    QStringList lines() const;

private:
    std::vector<TypeRow> m_rows;
    int m_last = -1; // the row found last: files of one folder often share their extension
};

// ---- the totals --------------------------------------------------------------------------

// The three file times, in the order the pages show them.
enum TimeKind { tkAccess = 0, tkCreated = 1, tkModified = 2 };
// The four attribute tallies.
enum AttrTally { atHidden = 0, atReadOnly = 1, atSystem = 2, atArchive = 3 };

struct StatTotals {
    // Size class c (1..12) is index c - 1.
    std::array<qint64, kSizeClasses> sizeClassCount{};
    std::array<qint64, kSizeClasses> sizeClassBytes{};
    std::array<qint64, kHours> modifiedHourCount{};
    std::array<qint64, kHours> createdHourCount{};
    // [TimeKind][age class]
    std::array<std::array<qint64, kAgeClasses>, 3> ageCount{};
    std::array<std::array<qint64, kAgeClasses>, 3> ageBytes{};
    std::array<qint64, 4> attrCount{}; // [AttrTally]
    std::array<qint64, 4> attrBytes{};
    std::array<qint64, kClusterSizes> clusterWaste{};
    TypeTable types;
    qint64 filesProcessed = 0; // every file the walk met (each name of a hard-linked file)
    qint64 filesCounted = 0;   // files that passed the filter and were counted

    // The sum of the twelve size-class byte sums.
    qint64 totalBytes() const;
};

// Adds one file to the totals: the filter, then every table.  `packed` are the file's access,
// creation and last-write times in packed DOS form; `overhang` adds the cluster waste.
void crunchNumbers(StatTotals& totals, const FileFilter& filter, QStringView name,
                   quint32 attributes, qint64 size, const std::array<quint32, 3>& packed,
                   const QDate& today, bool overhang);

// ---- the collection ----------------------------------------------------------------------

// Collects drive after drive into one set of totals.  The window runs each drive's walk in
// steps (walker()); a headless caller runs it to the end with collectDrive().
class Collector : public scan::Search {
public:
    // `today` is the day ages are counted from.
    Collector(const TypeFilter& filter, const QDate& today);

    // Empties every total (clearVariables) and forgets the files seen.
    void clearVariables();
    // Whether the cluster waste is added (a collection of exactly one drive).
    void setOverhang(bool on) { m_overhang = on; }
    bool overhang() const { return m_overhang; }

    // Walks one drive to its end (or its abort); a window runs walker().startDrives in steps
    // instead.
    void collectDrive(QChar letter);
    // The walk of a folder tree to its end, for tests and benchmarks.
    void collectTree(const QString& root);

    const StatTotals& totals() const { return m_totals; }
    StatTotals& totals() { return m_totals; }
    const TypeFilter& filter() const { return m_typeFilter; }

private:
    void onFile(const platform::DirEntry& entry);

    TypeFilter m_typeFilter;
    FileFilter m_filter;
    QDate m_today;
    bool m_overhang = false;
    StatTotals m_totals;
    filetime::Packer m_packer;
    platform::FirstNames m_firstNames;
};

} // namespace stats
