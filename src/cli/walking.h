#pragma once

#include "scan/walk.h"

#include <QChar>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>

// Where a command searches, and the walk over those places with its progress line.
namespace cli {

// A drive (letter set) or a folder.
struct Target {
    QChar drive;
    QString folder;
};

struct Targets {
    QList<Target> places;
    QString error; // why a target is not usable; empty when all are
};

// A letter ("C", "c:") is a drive of the world, anything else a folder; a folder must exist.
// Without arguments: the drives a tool window ticks when it opens.  A target whose files the
// walk of another target meets anyway (the same drive or folder, however written, or a folder
// below another one, links resolved) is left out, so that a run meets each file once.
Targets resolveTargets(const QStringList& arguments);

// The drives a tool window ticks when it opens (the drive of the current folder, else C).
QList<QChar> defaultDrives();

// The line on standard error that tells how far a walk got, rewritten in place a few times a
// second, only when the stream is a terminal.  Messages go to the stream either way.
class Progress {
public:
    Progress(QIODevice* errors, bool terminal);
    ~Progress();

    // Shows the counts and the folder, unless the last line is younger than the interval.
    void show(qint64 files, qint64 folders, const QString& folder);
    // Removes the line (before a result or a message is written).
    void clear();
    // Writes a message on a line of its own, the progress line cleared first.
    void message(const QString& line);

private:
    QIODevice* m_errors;
    bool m_terminal;
    std::chrono::steady_clock::time_point m_last{};
    bool m_shown = false;
};

// Walks the targets with the walker, showing progress, until `stopped` (when given) says the
// search has ended itself.  Returns the error of a target that could not be read at all (the
// first one); empty when every target was walked.  Folders below a target that cannot be read
// are reported as messages and passed over.
QString walkTargets(scan::Walker& walker, const QList<Target>& targets, Progress& progress,
                    const std::function<bool()>& stopped = {});

} // namespace cli
