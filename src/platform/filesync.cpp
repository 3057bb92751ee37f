#include "platform/filesync.h"

#include "platform/internal.h"
#include "platform/names.h"
#include "platform/openfolder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace internal {

int renameNoReplace(const QByteArray& from, const QByteArray& to) {
    return renameNoReplaceAt(AT_FDCWD, from, AT_FDCWD, to);
}

int renameNoReplaceAt(int fromFd, const QByteArray& from, int toFd, const QByteArray& to) {
    if (::renameat2(fromFd, from.constData(), toFd, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    const int code = errno;
    if (code != EINVAL && code != ENOSYS && code != EOPNOTSUPP)
        return code;
    // File systems without RENAME_NOREPLACE get a look before the plain rename.
    struct stat st {};
    if (::fstatat(toFd, to.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return ::renameat(fromFd, from.constData(), toFd, to.constData()) == 0 ? 0 : errno;
}

} // namespace internal

namespace {

// Read size of readWholeFile().
constexpr qint64 kReadChunk = 64 * 1024;

// The faults tests asked for, by step.
FaultHook g_faults[int(FileStep::SyncFolder) + 1];
bool g_anyFault = false;
qint64 g_shortRead = -1;

// The error a test fault makes the step fail with; 0 when there is none.
int fault(FileStep step, const QString& path) {
    if (!g_anyFault)
        return 0;
    const FaultHook& hook = g_faults[int(step)];
    return hook ? hook(path) : 0;
}

// open(2) that retries when a signal interrupts it.
int openNative(const QByteArray& native, int flags, mode_t mode = 0) {
    int fd;
    do
        fd = ::open(native.constData(), flags, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// The same for a file's path of any length: a path too long to be taken at once is opened from
// its folder.
int openAnyLength(const QString& path, int flags, mode_t mode = 0) {
    const int fd = openNative(encodeName(path), flags, mode);
    if (fd >= 0 || errno != ENAMETOOLONG)
        return fd;
    OpenFolder folder;
    QByteArray name;
    if (!internal::openParentOfLongPath(path, &folder, &name)) {
        errno = ENAMETOOLONG;
        return -1;
    }
    int out;
    do
        out = ::openat(folder.descriptor(), name.constData(), flags, mode);
    while (out < 0 && errno == EINTR);
    return out;
}

} // namespace

int internal::openRegularFile(const QString& path, struct stat* st, QString* error) {
    // O_NONBLOCK keeps a FIFO from blocking the open; a regular file ignores it.
    const int fd = openAnyLength(path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        const int code = errno;
        if (code == ELOOP && error)
            *error = QStringLiteral("is a symbolic link");
        else
            internal::failWith(error, code);
        return -1;
    }
    if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
        const bool folder = S_ISDIR(st->st_mode);
        ::close(fd);
        if (folder)
            internal::failWith(error, EISDIR);
        else if (error)
            *error = QStringLiteral("not a regular file");
        return -1;
    }
    return fd;
}

namespace {

bool syncPath(const QString& path, int flags, FileStep step, QString* error) {
    const int fd = openNative(encodeName(path), flags | O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return internal::failWith(error, errno);
    int code = fault(step, path);
    if (code == 0 && ::fsync(fd) != 0)
        code = errno;
    if (::close(fd) != 0 && code == 0)
        code = errno;
    return code == 0 || internal::failWith(error, code);
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
    return syncPath(path, 0, FileStep::SyncFile, error);
}

bool syncFolder(const QString& path, QString* error) {
    return syncPath(path, O_DIRECTORY, FileStep::SyncFolder, error);
}

bool syncAndClose(QFile& file, QString* error) {
    const int fd = file.isOpen() ? file.handle() : -1;
    int code = fd < 0 ? EBADF : fault(FileStep::SyncFile, file.fileName());
    if (code == 0 && ::fsync(fd) != 0)
        code = errno;
    // The descriptor goes whatever happened; QFile keeps the result of close(2) as its error.
    const int closeFault = fd < 0 ? 0 : fault(FileStep::CloseFile, file.fileName());
    file.close();
    if (code != 0)
        return internal::failWith(error, code);
    if (closeFault != 0)
        return internal::failWith(error, closeFault);
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

FileContent readWholeFile(const QString& path, qint64 sizeLimit) {
    FileContent out;
    const auto failed = [&out](const QString& why) {
        out.status = FileContent::Failed;
        out.bytes.clear();
        out.message = why;
        return out;
    };
    // O_NONBLOCK keeps a FIFO from blocking the open; a regular file ignores it.
    const int fd = openNative(encodeName(path), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        const int code = errno;
        if (code == ENOENT || code == ENOTDIR)
            return out;
        return failed(internal::systemMessage(code));
    }
    QString why;
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        why = internal::systemMessage(errno);
    else if (S_ISDIR(st.st_mode))
        why = internal::systemMessage(EISDIR);
    else if (!S_ISREG(st.st_mode))
        why = QStringLiteral("not a regular file");
    else if (sizeLimit >= 0 && st.st_size > sizeLimit)
        why = QStringLiteral("larger than %1 bytes").arg(sizeLimit);
    else if (const int code = fault(FileStep::Read, path))
        why = internal::systemMessage(code);
    if (why.isEmpty())
        out.bytes.reserve(qsizetype(st.st_size));
    const qint64 limit = g_shortRead;
    while (why.isEmpty()) {
        qint64 want = kReadChunk;
        if (limit >= 0)
            want = std::min(want, limit - qint64(out.bytes.size()));
        if (want <= 0)
            break;
        const qsizetype at = out.bytes.size();
        out.bytes.resize(at + want);
        ssize_t got;
        do
            got = ::read(fd, out.bytes.data() + at, size_t(want));
        while (got < 0 && errno == EINTR);
        if (got < 0)
            why = internal::systemMessage(errno);
        out.bytes.resize(at + std::max<ssize_t>(got, 0));
        if (got <= 0)
            break;
    }
    if (::close(fd) != 0 && why.isEmpty())
        why = internal::systemMessage(errno);
    if (why.isEmpty() && out.bytes.size() < st.st_size)
        why = QStringLiteral("only %1 of its %2 bytes could be read")
                  .arg(out.bytes.size())
                  .arg(qint64(st.st_size));
    if (!why.isEmpty())
        return failed(why);
    out.status = FileContent::Read;
    return out;
}

FileStamp fileStamp(const QString& path) {
    FileStamp out;
    struct stat st {};
    if (path.isEmpty())
        return out;
    if (::lstat(encodeName(path).constData(), &st) != 0) {
        OpenFolder folder;
        QByteArray name;
        if (errno != ENAMETOOLONG || !internal::openParentOfLongPath(path, &folder, &name) ||
            ::fstatat(folder.descriptor(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return out;
    }
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
    out.id = internal::identityOfStat(st);
    return out;
}

std::unique_ptr<QFile> openForReading(const QString& path, QString* error) {
    struct stat st {};
    const int fd = internal::openRegularFile(path, &st, error);
    return fd < 0 ? nullptr : adopt(fd, QIODevice::ReadOnly, error);
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
    if (const int code = fault(FileStep::Replace, from))
        return internal::failWith(error, code);
    if (::rename(encodeName(from).constData(), encodeName(to).constData()) == 0)
        return true;
    return internal::failWith(error, errno);
}

bool renameToFreeName(const QString& from, const QString& to, QString* error) {
    if (const int code = fault(FileStep::Replace, from))
        return internal::failWith(error, code);
    if (const int code = internal::renameNoReplace(encodeName(from), encodeName(to)))
        return internal::failWith(error, code);
    return true;
}

bool setFileTimes(const QString& path, qint64 epochSeconds, QString* error) {
    if (const int code = fault(FileStep::SetTimes, path))
        return internal::failWith(error, code);
    struct timespec times[2];
    times[0].tv_sec = time_t(epochSeconds);
    times[0].tv_nsec = 0;
    times[1] = times[0];
    if (::utimensat(AT_FDCWD, encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) == 0)
        return true;
    return internal::failWith(error, errno);
}

// ---- Faults for tests ----

void setFileFault(FileStep step, FaultHook hook) {
    g_faults[int(step)] = std::move(hook);
    g_anyFault = false;
    for (const FaultHook& h : g_faults)
        g_anyFault = g_anyFault || bool(h);
}

void setFileFault(FileStep step, int error) {
    setFileFault(
        step, error == 0 ? FaultHook() : [error](const QString&) { return error; });
}

void setShortRead(qint64 bytes) {
    g_shortRead = bytes;
}

void clearFileFaults() {
    for (FaultHook& h : g_faults)
        h = FaultHook();
    g_anyFault = false;
    g_shortRead = -1;
}

} // namespace platform
