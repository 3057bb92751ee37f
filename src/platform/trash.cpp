// The freedesktop.org trash: a trash folder holds files/ (the trashed entries) and info/ (one
// NAME.trashinfo per entry, saying where it came from and when).  An entry only ever moves by
// rename(2) into a trash on its own file system, so nothing is copied and then deleted.  The
// optional directorysizes cache is not kept; readers of the trash work without it.
#include "platform/trash.h"

#include "platform/environment.h"
#include "platform/fileops.h"
#include "platform/filesync.h"
#include "platform/internal.h"
#include "platform/names.h"
#include "platform/openfolder.h"
#include "platform/paths.h"
#include "platform/trash_internal.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Longest name of one directory entry, in bytes, and what info/ adds to an entry's name.
constexpr int kNameMax = 255;
constexpr char kInfoSuffix[] = ".trashinfo";
// Names tried before giving up ("name", "name.2", ... "name.999").
constexpr int kMaxAttempts = 999;

// realpath(3) of an existing folder, keeping every byte of its name; null (and the error code
// in `code`) when it fails.
QString resolvedFolder(const QString& path, int* code = nullptr) {
    const QByteArray native = encodeName(path);
    char* r = ::realpath(native.constData(), nullptr);
    if (!r) {
        if (code)
            *code = errno;
        return QString();
    }
    const QString out = decodeName(r, qsizetype(std::strlen(r)));
    std::free(r);
    return out;
}

// lstat / stat of program text; 0 or the error code.
int lstatCode(const QString& path, struct stat* st) {
    return ::lstat(encodeName(path).constData(), st) == 0 ? 0 : errno;
}

int statCode(const QString& path, struct stat* st) {
    return ::stat(encodeName(path).constData(), st) == 0 ? 0 : errno;
}

// The device of `path`, or of its nearest existing parent when it does not exist yet.
bool deviceOfNearest(QString path, dev_t* device) {
    for (;;) {
        struct stat st {};
        if (statCode(path, &st) == 0) {
            *device = st.st_dev;
            return true;
        }
        if (path == QLatin1String("/") || path.isEmpty())
            return false;
        path = parentFolder(path);
    }
}

// Creates one folder with mode 0700.  An entry that is already there is accepted as it is: if
// it is not a usable folder, writing into it fails later and is reported then.
bool makeTrashFolder(const QString& path, QString* why) {
    const QByteArray native = encodeName(path);
    if (::mkdir(native.constData(), 0700) == 0)
        return true;
    const int code = errno;
    if (code == EEXIST)
        return true;
    *why = QStringLiteral("the folder %1 cannot be created (%2)")
               .arg(path, internal::systemMessage(code));
    return false;
}

// Makes sure `path` is a real folder owned by `uid`, creating it (mode 0700) when missing.
bool ensureOwnFolder(const QString& path, uint uid, QString* why) {
    const QByteArray native = encodeName(path);
    if (::mkdir(native.constData(), 0700) == 0)
        return true;
    int code = errno;
    struct stat st {};
    if (code == EEXIST)
        code = ::lstat(native.constData(), &st) == 0 ? 0 : errno;
    if (code != 0)
        *why = QStringLiteral("the folder %1 cannot be created (%2)")
                   .arg(path, internal::systemMessage(code));
    else if (S_ISLNK(st.st_mode))
        *why = QStringLiteral("%1 is a symbolic link").arg(path);
    else if (!S_ISDIR(st.st_mode))
        *why = QStringLiteral("%1 is not a folder").arg(path);
    else if (st.st_uid != uid)
        *why = QStringLiteral("%1 belongs to another user").arg(path);
    else
        return true;
    return false;
}

// Writes all of `data` to `fd`; 0 or the error code.
int writeAll(int fd, const QByteArray& data) {
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        p += n;
        left -= n;
    }
    return 0;
}

// Flushes the names of both trash folders to the device once an entry has moved in.
bool syncTrashFolders(const QString& trash, QString* why) {
    QString sys;
    for (const char* sub : {"/files", "/info"}) {
        if (!syncFolder(trash + QLatin1String(sub), &sys)) {
            *why = QStringLiteral("the trash %1 cannot be saved to disk (%2)").arg(trash, sys);
            return false;
        }
    }
    return true;
}

// Writes the .trashinfo of `source` into `trash`/info, then renames `source` into `trash`/files
// under the same name, trying further names while either one is taken.
//
// With `seen`, the entry must still be the file that was listed right before it is renamed
// (*changed is set and nothing moves otherwise).  The information file is on the device before
// the entry moves, and both trash folders are synced after it.
bool moveIntoTrash(int dirFd, const QByteArray& from, const QString& trash,
                   const QString& storedPath, const FileIdentity* seen, bool* changed,
                   QString* why) {
    const QString name = decodeName(from);
    const QByteArray text = internal::trashInfoText(storedPath, QDateTime::currentDateTime());
    for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
        const QString entry = internal::trashEntryName(name, attempt);
        const QByteArray info = encodeName(trash + "/info/" + entry + QLatin1String(kInfoSuffix));
        const int fd = ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            const int code = errno;
            if (code == EEXIST)
                continue;
            *why = QStringLiteral("its trash information cannot be written (%1)")
                       .arg(internal::systemMessage(code));
            return false;
        }
        int code = writeAll(fd, text);
        if (code == 0 && ::fsync(fd) != 0)
            code = errno;
        if (::close(fd) != 0 && code == 0)
            code = errno;
        if (code == 0 && seen) {
            struct stat st {};
            if (::fstatat(dirFd, from.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
                !seen->matches(internal::identityOfStat(st)))
                *changed = true;
        }
        if (code == 0 && !*changed)
            code = internal::renameNoReplaceAt(dirFd, from, AT_FDCWD,
                                               encodeName(trash + "/files/" + entry));
        if (code == 0 && !*changed)
            return syncTrashFolders(trash, why);
        // The information file of an entry that did not move must not stay behind.
        if (::unlink(info.constData()) != 0) {
            const QString stray = internal::systemMessage(errno);
            *why = QStringLiteral("its trash information %1 cannot be removed (%2)")
                       .arg(decodeName(info), stray);
            return false;
        }
        if (*changed)
            return false;
        if (code != EEXIST) {
            *why = internal::systemMessage(code);
            return false;
        }
    }
    *why = QStringLiteral("no free name is left in the trash %1").arg(trash);
    return false;
}

} // namespace

namespace internal {

QString homeTrashFolder() {
    return joinPath(places().xdgDataHome, QStringLiteral("Trash"));
}

uint currentUserId() {
    return uint(::getuid());
}

QString topDirectoryOf(const QString& folder) {
    struct stat st {};
    QString top = folder;
    int code = statCode(top, &st);
    // Too deep to be looked at by its path: the nearest folder above that can be tells.
    while (code == ENAMETOOLONG && top != QLatin1String("/")) {
        top = parentFolder(top);
        code = statCode(top, &st);
    }
    if (code != 0)
        return folder;
    while (top != QLatin1String("/")) {
        const QString up = parentFolder(top);
        struct stat upSt {};
        if (statCode(up, &upSt) != 0 || upSt.st_dev != st.st_dev)
            break;
        top = up;
    }
    return top;
}

QString topDirectoryTrash(const QString& topdir, uint uid, QString* error) {
    const QString id = QString::number(uid);
    QString why;
    // A shared .Trash is trusted only when an administrator made it: a real sticky folder.
    const QString shared = joinPath(topdir, QStringLiteral(".Trash"));
    struct stat st {};
    if (lstatCode(shared, &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const QString mine = joinPath(shared, id);
        if (ensureOwnFolder(mine, uid, &why))
            return mine;
    }
    const QString own = joinPath(topdir, QStringLiteral(".Trash-") + id);
    if (ensureOwnFolder(own, uid, &why))
        return own;
    if (error)
        *error = why;
    return QString();
}

QByteArray encodeTrashPath(const QString& path) {
    return encodeName(path).toPercentEncoding(QByteArrayLiteral("/!*'()"));
}

QString storedTrashPath(const QString& path, const QString& topdir) {
    if (topdir.isEmpty())
        return path;
    return path.mid(topdir.endsWith('/') ? topdir.size() : topdir.size() + 1);
}

QByteArray trashInfoText(const QString& storedPath, const QDateTime& when) {
    return QByteArrayLiteral("[Trash Info]\nPath=") + encodeTrashPath(storedPath) +
           QByteArrayLiteral("\nDeletionDate=") +
           when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toLatin1() + '\n';
}

QString trashEntryName(const QString& name, int attempt) {
    QString stem = name;
    QString tail;
    if (attempt > 1) {
        tail = '.' + QString::number(attempt);
        const int dot = name.lastIndexOf('.');
        if (dot > 0 && dot < name.size() - 1) {
            stem = name.left(dot);
            tail += name.mid(dot);
        }
    }
    const qsizetype room = kNameMax - qsizetype(sizeof kInfoSuffix - 1);
    const auto bytes = [](const QString& s) { return encodeName(s).size(); };
    if (bytes(tail) >= room / 2) { // an outsized extension is shortened with the stem
        stem = name;
        tail = attempt > 1 ? '.' + QString::number(attempt) : QString();
    }
    while (stem.size() > 1 && bytes(stem) + bytes(tail) > room) {
        const qsizetype n = stem.size();
        const bool pair =
            n >= 2 && stem.at(n - 1).isLowSurrogate() && stem.at(n - 2).isHighSurrogate();
        stem.chop(pair ? 2 : 1);
    }
    return stem + tail;
}

} // namespace internal

namespace {

// Moves `name` of the open folder into the trash; the folder's path holds no symbolic link.
FileResult trashEntryIn(int dirFd, const QString& folder, const QByteArray& name,
                        const FileIdentity* seen) {
    QString why;
    const QString source = joinPath(folder, decodeName(name));
    const auto refuse = [&](const QString& reason) {
        return FileResult::failed(
            QStringLiteral("Cannot move %1 to the trash: %2.").arg(source, reason));
    };
    struct stat st {};
    if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        const int code = errno;
        // A listed file that is gone is no longer the file that was listed.
        if (seen && code == ENOENT)
            return FileResult::changed();
        return refuse(internal::systemMessage(code));
    }
    struct stat folderSt {};
    if (::fstat(dirFd, &folderSt) != 0)
        return refuse(internal::systemMessage(errno));

    const QString home = internal::homeTrashFolder();
    dev_t homeDevice = 0;
    const bool onHome = deviceOfNearest(home, &homeDevice) && homeDevice == folderSt.st_dev;
    QString trash;
    QString topdir;
    if (onHome) {
        trash = canonicalPath(home);
    } else {
        topdir = internal::topDirectoryOf(folder);
        trash = internal::topDirectoryTrash(topdir, internal::currentUserId(), &why);
        if (trash.isEmpty())
            return refuse(QStringLiteral("no trash can be used on its file system (%1)").arg(why));
    }
    if (source == trash || trash.startsWith(source + '/'))
        return refuse(QStringLiteral("it holds the trash itself"));
    if (source.startsWith(trash + '/'))
        return refuse(QStringLiteral("it is already in the trash"));

    QString sys;
    if (onHome && !makeFolderPath(trash, 0700, &sys))
        return refuse(QStringLiteral("the folder %1 cannot be created (%2)").arg(trash, sys));
    if (!makeTrashFolder(joinPath(trash, QStringLiteral("files")), &why) ||
        !makeTrashFolder(joinPath(trash, QStringLiteral("info")), &why))
        return refuse(why);
    bool changed = false;
    if (!moveIntoTrash(dirFd, name, trash, internal::storedTrashPath(source, topdir), seen,
                       &changed, &why))
        return changed ? FileResult::changed() : refuse(why);
    return FileResult::done();
}

FileResult trashEntry(const QString& path, const FileIdentity* seen) {
    const auto refuse = [&](const QString& reason) {
        return FileResult::failed(
            QStringLiteral("Cannot move %1 to the trash: %2.").arg(path, reason));
    };
    const QString given = internal::stripTrailingSlash(path);
    if (given.isEmpty())
        return refuse(QStringLiteral("no path given"));
    const int slash = given.lastIndexOf('/');
    const QString name = given.mid(slash + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return refuse(QStringLiteral("this entry cannot be moved"));

    // The entry's folder, links resolved, decides the file system: rename(2) works there.
    int code = 0;
    const QString folder = resolvedFolder(slash < 0    ? QStringLiteral(".")
                                          : slash == 0 ? QStringLiteral("/")
                                                       : given.left(slash),
                                          &code);
    if (folder.isNull())
        return refuse(internal::systemMessage(code));
    OpenFolder open;
    const FileResult opened = open.open(folder, OpenFolder::Links::Follow);
    if (!opened.ok())
        return refuse(opened.message);
    return trashEntryIn(open.descriptor(), folder, encodeName(name), seen);
}

} // namespace

FileResult internal::trashIn(int dirFd, const QString& folder, const QByteArray& name,
                             const FileIdentity* seen) {
    return trashEntryIn(dirFd, folder, name, seen);
}

bool moveToTrash(const QString& path, QString* error) {
    const FileResult result = trashEntry(path, nullptr);
    if (!result.ok() && error)
        *error = result.message;
    return result.ok();
}

FileResult moveToTrashIfUnchanged(const QString& path, const FileIdentity& seen) {
    return Disposer().trash(path, seen);
}

} // namespace platform
