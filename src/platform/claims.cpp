#include "platform/claims.h"

#include "platform/internal.h"
#include "platform/names.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

int openRetrying(const QByteArray& native, int flags, mode_t mode = 0) {
    int fd;
    do
        fd = ::open(native.constData(), flags, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

int lockRetrying(int fd, int how) {
    int result;
    do
        result = ::flock(fd, how);
    while (result != 0 && errno == EINTR);
    return result;
}

// True when the name still leads to the open file.
bool nameLeadsTo(const QByteArray& native, int fd) {
    struct stat byName {};
    struct stat opened {};
    return ::fstat(fd, &opened) == 0 && ::lstat(native.constData(), &byName) == 0 &&
           byName.st_dev == opened.st_dev && byName.st_ino == opened.st_ino;
}

} // namespace

std::unique_ptr<QFile> claimNewFile(const QString& path, quint32 permissions, bool* taken,
                                    QString* error) {
    *taken = false;
    const QByteArray native = encodeName(path);
    const int fd = openRetrying(native, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                mode_t(permissions));
    if (fd < 0) {
        const int code = errno;
        *taken = code == EEXIST;
        internal::failWith(error, code);
        return nullptr;
    }
    if (lockRetrying(fd, LOCK_EX) != 0) {
        const int code = errno;
        ::close(fd);
        (void)::unlink(native.constData());
        internal::failWith(error, code);
        return nullptr;
    }
    // A cleaner of leftovers may have taken the lock of the new empty file before this did, and
    // removed it: then the name is no longer this file's, and counts as taken.
    if (!nameLeadsTo(native, fd)) {
        ::close(fd);
        *taken = true;
        internal::failWith(error, EEXIST);
        return nullptr;
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(fd, QIODevice::ReadWrite | QIODevice::Unbuffered,
                    QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (error)
            *error = file->errorString();
        (void)::unlink(native.constData());
        return nullptr;
    }
    return file;
}

FileResult removeAbandonedClaim(const QString& path) {
    const QByteArray native = encodeName(path);
    const int fd = openRetrying(native, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return FileResult::failed(internal::systemMessage(errno));
    FileResult result = FileResult::changed();
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        result = FileResult::failed(internal::systemMessage(errno));
    } else if (S_ISREG(st.st_mode) && st.st_size == 0 && st.st_uid == ::geteuid() &&
               lockRetrying(fd, LOCK_EX | LOCK_NB) == 0) {
        // Locked here: no run holds it, and none can claim it again until it is gone.
        struct stat again {};
        if (::fstat(fd, &again) == 0 && again.st_size == 0 && nameLeadsTo(native, fd))
            result = ::unlink(native.constData()) == 0
                         ? FileResult::done()
                         : FileResult::failed(internal::systemMessage(errno));
    }
    ::close(fd);
    return result;
}

} // namespace platform
