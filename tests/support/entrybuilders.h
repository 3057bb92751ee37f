#pragma once

// Builders of unusual directory entries for the scan tests.  The file system calls stay in
// coreutils run through the shell, so the tests need nothing beyond QtCore.
//
// The shell is started by std::system rather than QProcess: QProcess starts children in a way
// ThreadSanitizer cannot follow (the child briefly shares the test's memory), which spoils its
// view of every lock taken afterwards, so the walk's threads could not be checked.

#include "platform/names.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdlib>

namespace scantest {

// One word for the shell, whatever its bytes.
inline QByteArray shellQuoted(const QString& word) {
    return "'" + platform::encodeName(word).replace("'", "'\\''") + "'";
}

// Runs a shell script with its arguments ($1, $2, ...); true when it exits with 0.
inline bool shell(const QString& script, const QStringList& args = {}) {
    QByteArray command = "sh -c " + shellQuoted(script) + " sh";
    for (const QString& arg : args)
        command += " " + shellQuoted(arg);
    return std::system(command.constData()) == 0;
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
    return shell(QStringLiteral("mkfifo \"$1\""), {path});
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
    return shell(QStringLiteral("rm -rf \"$1\""), {path});
}

} // namespace scantest
