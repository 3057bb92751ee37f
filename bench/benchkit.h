#pragma once

// Pieces the benchmarks share: the test tree of 500,000 files, a walk in steps as the windows
// run it, processor times, medians, timed rounds against a shell command and the memory figures
// of /proc/self/status, measured in a fresh process.

#include "scan/steppedwalk.h"
#include "scan/walk.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace benchkit {

// The tree: 11,110 folders four levels deep, 45 files in each and 50 in the top folder, the
// same 45 names in every folder, sizes 0 to 96 bytes (most files empty): many equal names and
// sizes.

constexpr int kFanOut = 10;
constexpr int kLevels = 4;
constexpr int kFilesPerFolder = 45;
constexpr int kFilesAtTop = 50;
constexpr qint64 kTotalFiles = 500000;

// The tree every benchmark uses, made once below the build folder.
inline QString defaultTree() {
    return QStringLiteral(VASTEL_BENCH_DATA_DIR "/walk-tree");
}

inline const char* const kExtensions[] = {".txt", ".dat", ".jpg", ".c", ".h", ".html", ".tmp"};

inline QString completeMarker(const QString& tree) {
    return tree + "/.complete";
}

inline bool makeFiles(const QString& folder, int count, qint64* made) {
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("file-%1%2")
                                 .arg(i, 4, 10, QChar('0'))
                                 .arg(QLatin1String(kExtensions[i % 7]));
        QFile f(folder + "/" + name);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        // A few bytes in some files, so that sizes differ.
        if (i % 5 == 0)
            f.write(QByteArray(i % 97, 'x'));
        ++*made;
    }
    return true;
}

inline bool makeLevel(const QString& folder, int level, qint64* made) {
    if (level == kLevels)
        return true;
    for (int i = 0; i < kFanOut; ++i) {
        const QString sub = QStringLiteral("%1/folder-%2").arg(folder).arg(i);
        if (!QDir().mkpath(sub) || !makeFiles(sub, kFilesPerFolder, made) ||
            !makeLevel(sub, level + 1, made))
            return false;
    }
    return true;
}

// Makes the tree unless a complete one is there already.
inline bool ensureTree(const QString& tree) {
    QFile marker(completeMarker(tree));
    if (marker.open(QIODevice::ReadOnly) && marker.readAll().trimmed().toLongLong() == kTotalFiles)
        return true;
    std::printf("making a tree of %lld files in %s ...\n", kTotalFiles, qPrintable(tree));
    std::fflush(stdout);
    QDir(tree).removeRecursively();
    QElapsedTimer t;
    t.start();
    qint64 made = 0;
    if (!QDir().mkpath(tree) || !makeFiles(tree, kFilesAtTop, &made) || !makeLevel(tree, 0, &made))
        return false;
    if (made != kTotalFiles)
        return false;
    QFile done(completeMarker(tree));
    if (!done.open(QIODevice::WriteOnly))
        return false;
    done.write(QByteArray::number(made) + "\n");
    std::printf("  made in %.1f s\n", t.elapsed() / 1000.0);
    return true;
}

// CPU seconds (user and system) of this process, and of its waited-for children, from
// /proc/self/stat (clock ticks of 1/100 s).
struct CpuTimes {
    double self = 0, children = 0;
};
inline CpuTimes cpuTimes() {
    QFile f(QStringLiteral("/proc/self/stat"));
    CpuTimes t;
    if (!f.open(QIODevice::ReadOnly))
        return t;
    const QByteArray text = f.readAll();
    // The fields after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    // utime, stime, cutime, cstime are fields 14..17 of the line, 12..15 after the name.
    if (fields.size() > 15) {
        t.self = (fields[11].toDouble() + fields[12].toDouble()) / 100.0;
        t.children = (fields[13].toDouble() + fields[14].toDouble()) / 100.0;
    }
    return t;
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Runs the walker's walk of the tree in steps from an event loop, as a window runs it, and
// returns when the walk is over.
inline void walkInSteps(scan::Walker& walker, const QString& tree) {
    scan::SteppedWalk walk(walker);
    QEventLoop loop;
    QObject::connect(&walk, &scan::SteppedWalk::finished, &loop, &QEventLoop::quit);
    if (walk.startTree(tree))
        loop.exec();
}

// kB value of a "Name:   1234 kB" line of /proc/self/status.
inline qint64 statusKiB(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Seconds a shell command takes; -1 when it fails.
inline double commandSeconds(const QByteArray& command) {
    QElapsedTimer t;
    t.start();
    if (std::system(command.constData()) != 0)
        return -1;
    return double(t.nsecsElapsed()) / 1e9;
}

// The times of our search and of the command a user would type instead, run in turn.
struct Rounds {
    std::vector<double> ours, theirs;
    double ratio() const { return median(ours) / median(theirs); }
};

// Runs `ours` (timed here) and `theirs` (which times itself) `count` times in turn, after the
// caller's warm-up, printing "  <name> round N: search S s, <command> C s" for each.
inline Rounds timeRounds(int count, const char* name, const char* command,
                         const std::function<void()>& ours, const std::function<double()>& theirs) {
    Rounds r;
    for (int round = 0; round < count; ++round) {
        QElapsedTimer t;
        t.start();
        ours();
        r.ours.push_back(double(t.nsecsElapsed()) / 1e9);
        r.theirs.push_back(theirs());
        std::printf("  %s round %d: search %.3f s, %s %.3f s\n", name, round + 1, r.ours.back(),
                    command, r.theirs.back());
    }
    return r;
}

// What a search keeps, as a fresh process sees it: resident KiB before the search, peak
// resident KiB (VmHWM) after it, and the number of things it found.
struct Memory {
    qint64 before = 0, peak = 0, found = 0;
    double bytesPerFound() const {
        return found > 0 ? double(peak - before) * 1024.0 / double(found) : 0.0;
    }
};

// The child's part: runs the search (which returns what it found) and prints the three
// numbers on one line.
inline int reportMemory(const std::function<qint64()>& search) {
    const qint64 before = statusKiB("VmRSS:");
    const qint64 found = search();
    std::printf("%lld %lld %lld\n", before, statusKiB("VmHWM:"), found);
    return 0;
}

// Runs the benchmark's own program again with the arguments that make it reportMemory, and
// reads its line.
inline Memory memoryInChild(const QString& program, const QStringList& args) {
    QProcess child;
    child.start(program, args);
    child.waitForFinished(-1);
    const QList<QByteArray> line = child.readAllStandardOutput().trimmed().split(' ');
    Memory m;
    m.before = line.value(0).toLongLong();
    m.peak = line.value(1).toLongLong();
    m.found = line.value(2).toLongLong();
    return m;
}

} // namespace benchkit
