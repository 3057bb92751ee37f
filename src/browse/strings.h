#pragma once

#include "app/result.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The readable runs of a file, as "Peek at strings" shows them.
//
// The file is read in blocks of 2048 bytes, each scanned on its own.  A run is a sequence of
// ASCII letters, digits and blanks; any other byte ends it.  A run of at least 6 and at most
// 101 characters becomes one line unless it equals the line written last; a longer run is
// written in pieces of 101 characters (a last piece shorter than 6 is dropped); a run still open
// at the end of a block is dropped.
namespace browse {

constexpr int kStringsBlock = 2048;

class StringExtractor {
public:
    // Scans one block and appends the lines it yields.
    void scanBlock(const char* data, qsizetype length, QList<QByteArray>* lines);

private:
    void endRun(QList<QByteArray>* lines);

    QByteArray m_run;
    QByteArray m_lastWritten;
    bool m_anyWritten = false;
};

// Writes the strings of the source file into the target file, one per line.  A failure's message
// is the error box's text: a source that cannot be opened gives "Could not open file " + its
// name (the target is left as it is); a target that cannot be written gives "Could not write
// file " + its name.
Result<> extractStrings(const QString& source, const QString& target);

} // namespace browse
