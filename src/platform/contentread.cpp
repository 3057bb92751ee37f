#include "platform/contentread.h"

#include "platform/internal.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

FaultHook g_readFault;

FileIdentity identityOfDescriptor(int fd) {
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return {};
    return internal::identityOfStat(st);
}

} // namespace

FileResult ContentFile::open(const QString& path, const FileIdentity& listed) {
    close();
    m_path = path;
    m_opened = {};
    QString error;
    struct stat st {};
    m_fd = internal::openRegularFile(path, &st, &error);
    if (m_fd < 0) {
        // A file deleted or replaced by something else since it was listed is not unreadable:
        // it is no longer the file that was listed.
        if (listed.known() && !listed.matches(fileStamp(path).identity()))
            return FileResult::changed();
        return FileResult::failed(error);
    }
    m_opened = internal::identityOfStat(st);
    if (listed.known() && !listed.matches(m_opened)) {
        close();
        return FileResult::changed();
    }
    return FileResult::done();
}

void ContentFile::close() {
    if (m_fd >= 0)
        ::close(m_fd); // opened for reading only: nothing is lost if this fails
    m_fd = -1;
}

void ContentFile::readsSequentially() {
    if (m_fd >= 0)
        ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
}

qint64 ContentFile::read(qint64 offset, char* buffer, qint64 length, QString* error) {
    int code = m_fd >= 0 ? 0 : EBADF;
    if (code == 0 && g_readFault)
        code = g_readFault(m_path);
    if (code != 0) {
        internal::failWith(error, code);
        return -1;
    }
    qint64 done = 0;
    while (done < length) {
        ssize_t got;
        do
            got = ::pread(m_fd, buffer + done, size_t(length - done), off_t(offset + done));
        while (got < 0 && errno == EINTR);
        if (got < 0) {
            internal::failWith(error, errno);
            return -1;
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

bool ContentFile::unchanged() const {
    return m_fd >= 0 && m_opened.matches(identityOfDescriptor(m_fd));
}

void setContentReadFault(FaultHook hook) {
    g_readFault = std::move(hook);
}

} // namespace platform
