#pragma once

// Pieces the benchmarks share: the test tree of 500,000 files, a walk in steps as the windows
// run it, processor times, medians and the memory figures of /proc/self/status.

#include "scan/steppedwalk.h"
#include "scan/walk.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QList>
#include <QString>
#include <algorithm>
#include <cstdio>
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

} // namespace benchkit
