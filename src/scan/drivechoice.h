#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

// Choosing drives: which entries of a drive list start out ticked, which entries the drive and
// file-type dialog offers, and the letters behind ticked entries.  A drive entry is the text of
// a drive in the drive lists ("c: [/]"); its first character is always the drive letter.
namespace drivechoice {

// The starting state of a drive check list.
struct Ticks {
    QList<bool> ticked;   // one flag per entry, in list order
    int defaultIndex = 0; // index of the drive ticked in advance; 0 when none is
};

// The fill rule of a drive check list: the entry equal to the current drive's entry is ticked
// and is the default.  Without one, every entry that starts with "c" or "C" is ticked and the
// last of them is the default.  Without those, nothing is ticked and the default is 0.  An
// empty current entry matches nothing.
Ticks initialTicks(const QStringList& entries, const QString& currentEntry);

// The drive letter of an entry, upper case; a null QChar for an empty entry.
QChar entryLetter(const QString& entry);

// True for the entries of floppy drives (letter A or B), which the drive and file-type dialog
// never offers.
bool isFloppyEntry(const QString& entry);

// The entries offered by the drive and file-type dialog: all but the floppy drives, in order.
QStringList offeredEntries(const QStringList& entries);

// The upper-case letters of the ticked entries, in list order.  Flags beyond the entries (or
// missing ones) count as not ticked.
QList<QChar> tickedLetters(const QStringList& entries, const QList<bool>& ticked);

// The counter of a selection list: "3/12".
QString countText(int selected, int total);

// The entry with its first character in upper case (the duplicate window's drive list), or
// unchanged.  Only the letter changes; the mount point in brackets keeps its case.
QString withLetterCase(const QString& entry, bool upperCaseLetter);

// The entries of every drive of the system, sorted by letter.
QStringList systemDriveEntries(bool upperCaseLetter = false);

// The entry of the drive that holds the process's current folder; empty when no drive does.
QString currentDriveEntry(bool upperCaseLetter = false);

} // namespace drivechoice
