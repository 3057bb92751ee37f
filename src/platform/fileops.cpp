#include "platform/fileops.h"

#include "platform/internal.h"
#include "platform/names.h"

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

} // namespace internal

using internal::failWith;

bool removeFile(const QString& path, QString* error) {
    const QByteArray native = encodeName(path);
    if (::unlink(native.constData()) == 0)
        return true;
    return failWith(error, errno);
}

FileResult removeFileIfUnchanged(const QString& path, const FileIdentity& seen) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = path.mid(slash + 1);
    if (slash < 0 || name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return FileResult::failed(internal::systemMessage(EINVAL));
    const QByteArray folder = encodeName(slash == 0 ? QStringLiteral("/") : path.left(slash));
    int fd;
    do
        fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return FileResult::failed(internal::systemMessage(errno));
    const QByteArray entry = encodeName(name);
    struct stat st {};
    FileResult result;
    if (::fstatat(fd, entry.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        result = FileResult::failed(internal::systemMessage(errno));
    else if (S_ISDIR(st.st_mode))
        result = FileResult::failed(internal::systemMessage(EISDIR));
    else if (!seen.matches(internal::identityOfStat(st)))
        result = FileResult::changed();
    else if (::unlinkat(fd, entry.constData(), 0) != 0)
        result = FileResult::failed(internal::systemMessage(errno));
    // The folder was only read: its descriptor's close has nothing to lose, and the outcome is
    // what the unlink said.
    ::close(fd);
    return result;
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
