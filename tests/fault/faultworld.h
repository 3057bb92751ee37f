#pragma once

#include "app/crc32.h"
#include "delete/reallydelete.h"
#include "platform/filesync.h"
#include "support/sandbox.h"
#include "zip/zipreader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// The fault suite's world: a tree of files with known bytes below drive C, runs of the deletion
// code in a forked child that may die at any moment, and the count of files lost afterwards.
namespace fault {

struct Original {
    QString path;
    QByteArray bytes;
};

// `count` files of random bytes (0 to 6,000 each, incompressible) in ten folders below
// c/data, the same for the same seed.
inline std::vector<Original> makeOriginals(SandboxWorld& world, int count, quint32 seed) {
    QRandomGenerator random(seed);
    std::vector<Original> files;
    for (int i = 0; i < count; ++i) {
        QByteArray bytes(int(random.bounded(6000)), Qt::Uninitialized);
        for (char& c : bytes)
            c = char(random.bounded(256));
        const QString relative = QStringLiteral("c/data/f%1/file%2.bin").arg(i % 10).arg(i);
        files.push_back({world.makeFile(relative, bytes), bytes});
    }
    return files;
}

// The files as a tool hands them over: each with the identity it has now.
inline ListedFiles listed(const std::vector<Original>& files) {
    ListedFiles out;
    for (const Original& f : files)
        out.append({f.path, platform::fileStamp(f.path).identity()});
    return out;
}

// Where the copies of the files can be: the archives of a folder, and the home trash.
class Copies {
public:
    Copies(const QString& zipFolder, const QString& driveRoot, const QString& trashFolder) {
        for (const QString& name : QDir(zipFolder).entryList({"*.zip"}, QDir::Files)) {
            zip::ZipReader reader;
            if (!reader.open(zipFolder + '/' + name))
                continue; // an archive that does not open holds nothing
            for (const zip::ZipEntry& e : reader.entries())
                if (!e.folder)
                    m_archived.insert(driveRoot + '/' + e.path, {e.size, e.crc});
        }
        QDirIterator infos(trashFolder + "/info", {"*.trashinfo"}, QDir::Files);
        while (infos.hasNext()) {
            const QString info = infos.next();
            const QByteArray text = SandboxWorld::readBytes(info);
            const int at = text.indexOf("\nPath=");
            if (at < 0)
                continue;
            const int end = text.indexOf('\n', at + 1);
            const QString path = QUrl::fromPercentEncoding(text.mid(at + 6, end - at - 6));
            m_trashed.insert(path, trashFolder + "/files/" + infos.fileInfo().completeBaseName());
        }
    }

    // True when the file is in place with its bytes, in an archive with its size and CRC-32,
    // or in the trash with its .trashinfo and its bytes.
    bool kept(const Original& f) const {
        const platform::FileContent now = platform::readWholeFile(f.path);
        if (now.status == platform::FileContent::Read)
            return now.bytes == f.bytes;
        const auto archived = m_archived.constFind(f.path);
        if (archived != m_archived.constEnd())
            return archived->first == f.bytes.size() &&
                   archived->second == crc32::checksum(0, f.bytes.constData(), f.bytes.size());
        const auto trashed = m_trashed.constFind(f.path);
        return trashed != m_trashed.constEnd() &&
               platform::readWholeFile(*trashed).bytes == f.bytes;
    }

    int lost(const std::vector<Original>& files, QStringList* which = nullptr) const {
        int lost = 0;
        for (const Original& f : files)
            if (!kept(f)) {
                ++lost;
                if (which)
                    *which << f.path;
            }
        return lost;
    }

private:
    QHash<QString, std::pair<qint64, quint32>> m_archived; // path -> size, CRC-32
    QHash<QString, QString> m_trashed;                     // original path -> file in the trash
};

// Runs the work in a forked child and waits for it: the child's exit status, or 128 plus the
// signal that ended it.
inline int inChild(const std::function<int()>& work) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(work());
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

} // namespace fault
