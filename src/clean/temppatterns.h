#pragma once

#include "platform/dirsearch.h"

#include <QString>
#include <QStringList>

// The patterns of temporary files that quick clean looks for, kept in section [TempFiles] of
// the settings file.  In memory a pattern is a list item: the pattern, a TAB and the type
// description of its extension ("*.tmp\tTMP File"); only the pattern is stored.
namespace tempfiles {

// The item of a pattern: the pattern, a TAB, the description of its extension.
QString itemOf(const QString& pattern);
// The pattern of an item: its text before the first TAB.
QString patternOf(const QString& item);

// The patterns "D&efaults" adds: "*.tmp", "*.temp", "*.fts", "*.bak", "*.old", "*.$$$".
QStringList defaultButtonPatterns();

// The list as the editor and quick clean hold it: always sorted (by text, ignoring case first),
// never two equal items.
class PatternList {
public:
    PatternList() = default;
    explicit PatternList(const QStringList& items);

    const QStringList& items() const { return m_items; }
    int size() const { return int(m_items.size()); }

    // Adds the item at its place; false when an equal item is listed already.
    bool add(const QString& item);
    // Adds the default patterns that are missing; returns how many were added.
    int addDefaults();
    // Removes the items at these rows (rows out of range are passed over).
    void removeRows(QList<int> rows);
    void clear() { m_items.clear(); }

private:
    QStringList m_items;
};

// ReadInFromDisk: the stored patterns as items, sorted; the four built-in patterns when the
// section has no Number, none when Number is 0.
PatternList readPatterns();
// WriteOutToDisk: Number and File1..FileN in the list's order; false when the settings file
// cannot be written.
bool writePatterns(const PatternList& list);

// The extension an item stands for: its characters from the second up to the one before the
// first TAB, in lower case ("*.tmp\tTMP File" gives ".tmp").  No wildcard in it is read as one.
QString patternExtension(const QString& item);

// isThisFileTemporary as a pattern for the walk: it matches a file name whose extension (from
// its last dot to the end, empty without a dot) equals, ignoring case, the pattern extension of
// one of the items.  The walk applies it before it looks at a file any further.
platform::WildcardPattern extensionPattern(const QStringList& selectedItems);

} // namespace tempfiles
