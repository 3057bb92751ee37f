#include "platform/filesync.h"

#include "platform/internal.h"
#include "platform/names.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// open(2) that retries when a signal interrupts it.
int openNative(const QByteArray& native, int flags, mode_t mode = 0) {
    int fd;
    do
        fd = ::open(native.constData(), flags, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

bool syncPath(const QString& path, int flags, QString* error) {
    const int fd = openNative(encodeName(path), flags | O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return internal::failWith(error, errno);
    const bool ok = ::fsync(fd) == 0;
    const int code = errno;
    ::close(fd);
    return ok || internal::failWith(error, code);
}

// Hands a descriptor to a QFile that closes it.
std::unique_ptr<QFile> adopt(int fd, QIODevice::OpenMode mode, QString* error) {
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, mode | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (error)
            *error = file->errorString();
        return nullptr;
    }
    return file;
}

} // namespace

bool syncFile(const QString& path, QString* error) {
    return syncPath(path, 0, error);
}

bool syncFolder(const QString& path, QString* error) {
    return syncPath(path, O_DIRECTORY, error);
}

FileStamp fileStamp(const QString& path) {
    FileStamp out;
    struct stat st {};
    if (path.isEmpty() || ::lstat(encodeName(path).constData(), &st) != 0)
        return out;
    if (S_ISREG(st.st_mode))
        out.kind = FileKind::Regular;
    else if (S_ISDIR(st.st_mode))
        out.kind = FileKind::Folder;
    else if (S_ISLNK(st.st_mode))
        out.kind = FileKind::Link;
    else
        out.kind = FileKind::Other;
    out.size = st.st_size;
    out.modifiedSeconds = st.st_mtim.tv_sec;
    out.modifiedNanoseconds = st.st_mtim.tv_nsec;
    out.permissions = st.st_mode & 07777;
    out.device = st.st_dev;
    out.inode = st.st_ino;
    out.changedSeconds = st.st_ctim.tv_sec;
    out.changedNanoseconds = st.st_ctim.tv_nsec;
    return out;
}

std::unique_ptr<QFile> openForReading(const QString& path, QString* error) {
    // O_NONBLOCK keeps a FIFO from blocking the open; a regular file ignores it.
    const int fd =
        openNative(encodeName(path), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        const int code = errno;
        if (code == ELOOP && error)
            *error = QStringLiteral("is a symbolic link");
        else
            internal::failWith(error, code);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool folder = S_ISDIR(st.st_mode);
        ::close(fd);
        if (folder)
            internal::failWith(error, EISDIR);
        else if (error)
            *error = QStringLiteral("not a regular file");
        return nullptr;
    }
    return adopt(fd, QIODevice::ReadOnly, error);
}

std::unique_ptr<QFile> createNewFile(const QString& path, quint32 permissions, QString* error) {
    const int fd = openNative(encodeName(path),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY,
                              mode_t(permissions & 0777));
    if (fd < 0) {
        internal::failWith(error, errno);
        return nullptr;
    }
    return adopt(fd, QIODevice::WriteOnly, error);
}

bool replaceFile(const QString& from, const QString& to, QString* error) {
    if (::rename(encodeName(from).constData(), encodeName(to).constData()) == 0)
        return true;
    return internal::failWith(error, errno);
}

bool setFileTimes(const QString& path, qint64 epochSeconds, QString* error) {
    struct timespec times[2];
    times[0].tv_sec = time_t(epochSeconds);
    times[0].tv_nsec = 0;
    times[1] = times[0];
    if (::utimensat(AT_FDCWD, encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) == 0)
        return true;
    return internal::failWith(error, errno);
}

} // namespace platform
