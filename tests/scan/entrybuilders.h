#pragma once

// Builders of unusual directory entries for the scan tests.  The file system calls stay in
// coreutils run through the shell, so the tests need nothing beyond QtCore.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace scantest {

// Runs a shell script with its arguments ($1, $2, ...); true when it exits with 0.
inline bool shell(const QString& script, const QStringList& args = {}) {
    QStringList all = {QStringLiteral("-c"), script, QStringLiteral("sh")};
    all += args;
    return QProcess::execute(QStringLiteral("sh"), all) == 0;
}

// printf text that writes exactly these bytes (every byte as an octal escape).
inline QString octalEscaped(const QByteArray& bytes) {
    QString out;
    for (const char c : bytes)
        out += QStringLiteral("\\%1").arg(uint(static_cast<unsigned char>(c)), 3, 8, QChar('0'));
    return out;
}

// Creates a file (or, with folder true, a folder) whose path below parent has exactly these
// bytes; the parent's own name must be valid UTF-8.
inline bool makeRawEntry(const QString& parent, const QByteArray& name, bool folder = false) {
    const QString make = folder ? QStringLiteral("mkdir") : QStringLiteral("touch");
    return shell(QStringLiteral("cd \"$1\" && %1 \"$(printf '%2')\"").arg(make, octalEscaped(name)),
                 {parent});
}

inline bool makeFifo(const QString& path) {
    return QProcess::execute(QStringLiteral("mkfifo"), {path}) == 0;
}

inline bool makeLink(const QString& target, const QString& link) {
    return QFile::link(target, link);
}

// A chain of `levels` folders, each named `name`, below parent, with one file `leaf` in the
// deepest.  Built 50 levels at a time with relative steps, so it may be deeper than any path
// the system accepts.
inline bool makeDeepChain(const QString& parent, const QString& name, int levels,
                          const QString& leaf) {
    return shell(QStringLiteral("cd \"$1\" || exit 1; left=$2; while [ $left -gt 0 ]; do "
                                "n=$left; [ $n -gt 50 ] && n=50; p=; i=0; "
                                "while [ $i -lt $n ]; do p=\"$p$3/\"; i=$((i+1)); done; "
                                "mkdir -p \"$p\" && cd -P \"$p\" || exit 1; left=$((left-n)); "
                                "done; touch \"$4\""),
                 {parent, QString::number(levels), name, leaf});
}

// Removes a tree of any depth (QDir::removeRecursively stops at the path length limit).
inline bool removeTree(const QString& path) {
    return QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), path}) == 0;
}

} // namespace scantest
