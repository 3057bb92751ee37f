#include "platform/openfolder.h"

#include "platform/internal.h"
#include "platform/names.h"
#include "platform/trash_internal.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

int openAt(int dirFd, const char* name, int flags) {
    int fd;
    do
        fd = ::openat(dirFd, name, flags);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// A path's folder and last name; false when the path names no entry of a folder ("/", ".",
// "..", a trailing "/", no "/" at all).
bool splitEntryPath(const QString& path, QString* folder, QString* last) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    *last = path.mid(slash + 1);
    if (slash < 0 || last->isEmpty() || *last == QLatin1String(".") || *last == QLatin1String(".."))
        return false;
    *folder = slash == 0 ? QStringLiteral("/") : path.left(slash);
    return true;
}

} // namespace

OpenFolder::~OpenFolder() {
    close();
}

OpenFolder::OpenFolder(OpenFolder&& other) noexcept
    : m_fd(other.m_fd), m_id(other.m_id), m_path(std::move(other.m_path)) {
    other.m_fd = -1;
}

OpenFolder& OpenFolder::operator=(OpenFolder&& other) noexcept {
    if (this != &other) {
        close();
        m_fd = other.m_fd;
        m_id = other.m_id;
        m_path = std::move(other.m_path);
        other.m_fd = -1;
    }
    return *this;
}

void OpenFolder::close() {
    if (m_fd >= 0)
        ::close(m_fd); // a folder is only read: nothing to lose on close
    m_fd = -1;
    m_id = FolderId();
    m_path.clear();
}

FileResult OpenFolder::open(const QString& folder, Links links) {
    close();
    const QByteArray native = encodeName(folder);
    const int flags =
        O_RDONLY | O_DIRECTORY | O_CLOEXEC | (links == Links::Refuse ? O_NOFOLLOW : 0);
    int fd =
        openAt(AT_FDCWD, native.startsWith('/') ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return FileResult::failed(internal::systemMessage(errno));
    for (const QByteArray& part : native.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        const int next = openAt(fd, part.constData(), flags);
        if (next < 0) {
            const int code = errno;
            struct stat st {};
            const bool link = links == Links::Refuse &&
                              ::fstatat(fd, part.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                              S_ISLNK(st.st_mode);
            ::close(fd);
            return FileResult::failed(
                link ? QStringLiteral("a folder on its path is a symbolic link")
                     : internal::systemMessage(code));
        }
        ::close(fd);
        fd = next;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int code = errno;
        ::close(fd);
        return FileResult::failed(internal::systemMessage(code));
    }
    m_fd = fd;
    m_id = {quint64(st.st_dev), quint64(st.st_ino)};
    m_path = folder;
    return FileResult::done();
}

std::optional<FolderId> folderIdOfPath(const QString& folder) {
    OpenFolder open;
    if (!open.open(folder, OpenFolder::Links::Follow).ok())
        return std::nullopt;
    return open.id();
}

bool internal::openParentOfLongPath(const QString& path, OpenFolder* folder, QByteArray* name) {
    QString parent, last;
    if (!splitEntryPath(path, &parent, &last) ||
        !folder->open(parent, OpenFolder::Links::Follow).ok())
        return false;
    *name = encodeName(last);
    return true;
}

Disposer::Disposer(FolderGuard guard, OpenFolder::Links links)
    : m_guard(std::move(guard)), m_links(links) {}

FileResult Disposer::prepare(const QString& path, QByteArray* name) {
    QString folder, last;
    if (!splitEntryPath(path, &folder, &last))
        return FileResult::failed(internal::systemMessage(EINVAL));
    if (!m_folder.isOpen() || m_folder.path() != folder) {
        const FileResult opened = m_folder.open(folder, m_links);
        if (!opened.ok())
            return opened;
        m_reason = m_guard ? m_guard(m_folder.id()) : QString();
    }
    if (!m_reason.isEmpty())
        return FileResult::heldBack(m_reason);
    *name = encodeName(last);
    return FileResult::done();
}

FileResult Disposer::remove(const QString& path, const FileIdentity& seen) {
    QByteArray name;
    const FileResult ready = prepare(path, &name);
    if (!ready.ok())
        return ready;
    const int fd = m_folder.descriptor();
    struct stat st {};
    if (::fstatat(fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return FileResult::failed(internal::systemMessage(errno));
    if (S_ISDIR(st.st_mode))
        return FileResult::failed(internal::systemMessage(EISDIR));
    if (!seen.matches(internal::identityOfStat(st)))
        return FileResult::changed();
    if (::unlinkat(fd, name.constData(), 0) != 0)
        return FileResult::failed(internal::systemMessage(errno));
    return FileResult::done();
}

FileResult Disposer::trash(const QString& path, const FileIdentity& seen) {
    QByteArray name;
    const FileResult ready = prepare(path, &name);
    if (!ready.ok())
        return ready;
    return internal::trashIn(m_folder.descriptor(), m_folder.path(), name, &seen);
}

} // namespace platform
