#include "platform/fileops.h"

#include "platform/internal.h"
#include "platform/names.h"
#include "platform/openfolder.h"

#include <QStringList>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace internal {

QString systemMessage(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

bool failWith(QString* error, int code) {
    if (error)
        *error = systemMessage(code);
    return false;
}

FileIdentity identityOfStat(const struct stat& st) {
    FileIdentity id;
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        return id;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = st.st_size;
    id.modified = nanoseconds(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    id.changed = nanoseconds(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
    return id;
}

quint64 mountIdOf(int fd) {
    return mountIdOf(fd, "");
}

quint64 mountIdOf(int dirFd, const char* name) {
    struct statx st {};
    const int flags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | (name[0] ? 0 : AT_EMPTY_PATH);
    if (::statx(dirFd, name, flags, STATX_MNT_ID, &st) != 0 || !(st.stx_mask & STATX_MNT_ID))
        return 0;
    return quint64(st.stx_mnt_id);
}

} // namespace internal

using internal::failWith;

bool removeFile(const QString& path, QString* error) {
    const QByteArray native = encodeName(path);
    if (::unlink(native.constData()) == 0)
        return true;
    return failWith(error, errno);
}

FileResult removeFileIfUnchanged(const QString& path, const FileIdentity& seen) {
    return Disposer({}, OpenFolder::Links::Follow).remove(path, seen);
}

bool removeFolder(const QString& path, QString* error) {
    const QByteArray native = encodeName(path);
    if (::rmdir(native.constData()) == 0)
        return true;
    return failWith(error, errno);
}

bool makeFolder(const QString& path, QString* error) {
    return makeFolder(path, 0777, error);
}

bool makeFolder(const QString& path, quint32 mode, QString* error) {
    const QByteArray native = encodeName(path);
    if (::mkdir(native.constData(), mode_t(mode)) == 0)
        return true;
    const int code = errno;
    struct stat st;
    if (code == EEXIST && ::stat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode))
        return true;
    return failWith(error, code);
}

bool makeFolderPath(const QString& path, quint32 mode, QString* error) {
    QString prefix;
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        prefix += QLatin1Char('/') + part;
        if (!makeFolder(prefix, mode, error))
            return false;
    }
    return true;
}

} // namespace platform
