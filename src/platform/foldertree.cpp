#include "platform/foldertree.h"

#include "platform/internal.h"
#include "platform/names.h"
#include "platform/paths.h"
#include "platform/trash_internal.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Folders held open at once; deeper ones are closed and opened again on the way back.
constexpr size_t kOpenFolders = 48;

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

int openAt(int dirFd, const char* name, int flags) {
    int fd;
    do
        fd = ::openat(dirFd, name, flags);
    while (fd < 0 && errno == EINTR);
    return fd;
}

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd); // folders are only read: nothing to lose on close
    fd = -1;
}

FolderId idOfStat(const struct stat& st) {
    return {quint64(st.st_dev), quint64(st.st_ino)};
}

// The names in an open folder, "." and ".." left out; false when it cannot be read.
bool listNames(int fd, std::vector<QByteArray>* names) {
    const int copy = ::dup(fd);
    if (copy < 0)
        return false;
    DIR* dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return false;
    }
    bool ok = true;
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(dir);
        if (!e) {
            ok = errno == 0;
            break;
        }
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        names->emplace_back(n);
    }
    ::closedir(dir);
    return ok;
}

QByteArray joined(const QByteArray& folder, const QByteArray& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

} // namespace

struct FolderTree::Frame {
    int fd = -1;
    FolderId id;
    QByteArray name; // in its parent
    std::vector<QByteArray> names;
    size_t next = 0;
    int pathLength = 0; // of m_path while this folder is on top
};

FolderTree::FolderTree(const QString& folder, QList<FolderId> keepOut)
    : m_root(encodeName(internal::stripTrailingSlash(folder))), m_keepOut(std::move(keepOut)) {}

FolderTree::~FolderTree() {
    closeAll();
}

void FolderTree::closeAll() {
    for (Frame& f : m_stack)
        closeFd(f.fd);
    m_stack.clear();
    m_haveEntry = false;
}

bool FolderTree::open(QString* error) {
    const int fd = openAt(AT_FDCWD, m_root.constData(), kFolderFlags);
    if (fd < 0)
        return internal::failWith(error, errno == ELOOP ? ENOTDIR : errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int code = errno;
        ::close(fd);
        return internal::failWith(error, code);
    }
    Frame root;
    root.fd = fd;
    root.id = idOfStat(st);
    if (!listNames(fd, &root.names)) {
        const int code = errno ? errno : EIO;
        ::close(fd);
        return internal::failWith(error, code);
    }
    closeAll();
    m_rootId = root.id;
    m_rootMount = internal::mountIdOf(fd);
    m_path = m_root;
    root.pathLength = int(m_path.size());
    m_stack.push_back(std::move(root));
    m_opened = true;
    m_error.clear();
    return true;
}

bool FolderTree::enter(int parentFd, const QByteArray& name, const FolderId& id) {
    const int fd = openAt(parentFd, name.constData(), kFolderFlags);
    if (fd < 0)
        return false;
    struct stat st {};
    Frame frame;
    frame.fd = fd;
    // The name must still lead to the folder that was looked at a moment ago.
    if (::fstat(fd, &st) != 0 || !(idOfStat(st) == id) || !listNames(fd, &frame.names)) {
        ::close(fd);
        return false;
    }
    frame.id = id;
    frame.name = name;
    m_path = joined(m_path, name);
    frame.pathLength = int(m_path.size());
    m_stack.push_back(std::move(frame));
    limitOpenFolders();
    return true;
}

void FolderTree::limitOpenFolders() {
    if (m_stack.size() > kOpenFolders)
        closeFd(m_stack[m_stack.size() - 1 - kOpenFolders].fd);
}

// Leaves the folder on top of the stack, removing it when asked; false when the walk must stop.
bool FolderTree::leave() {
    Frame child = std::move(m_stack.back());
    m_stack.pop_back();
    if (m_stack.empty()) {
        closeFd(child.fd);
        return true;
    }
    Frame& parent = m_stack.back();
    if (parent.fd < 0) {
        parent.fd = openAt(child.fd, "..", kFolderFlags);
        struct stat st {};
        if (parent.fd < 0 || ::fstat(parent.fd, &st) != 0 || !(idOfStat(st) == parent.id)) {
            closeFd(child.fd);
            m_error = QStringLiteral("%1 was moved while its folders were being removed")
                          .arg(decodeName(m_path.left(parent.pathLength)));
            closeAll();
            return false;
        }
    }
    closeFd(child.fd);
    if (m_removeFolders)
        ::unlinkat(parent.fd, child.name.constData(), AT_REMOVEDIR); // stays when not empty
    m_path.truncate(parent.pathLength);
    return true;
}

bool FolderTree::next(Entry* entry) {
    m_haveEntry = false;
    while (!m_stack.empty()) {
        Frame& top = m_stack.back();
        if (top.next >= top.names.size()) {
            if (!leave())
                return false;
            continue;
        }
        const QByteArray name = top.names[top.next++];
        struct stat st {};
        if (::fstatat(top.fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // gone meanwhile
        if (S_ISDIR(st.st_mode)) {
            // A mount point is a boundary, whether of another file system or a bind mount of a
            // folder of this one.
            const FolderId id = idOfStat(st);
            if (id.device == m_rootId.device && !m_keepOut.contains(id) &&
                internal::mountIdOf(top.fd, name.constData()) == m_rootMount)
                enter(top.fd, name, id);
            continue;
        }
        m_entryName = name;
        m_entryDevice = st.st_dev;
        m_entryInode = st.st_ino;
        m_entrySize = st.st_size;
        m_entryModified = nanoseconds(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
        m_entryChanged = nanoseconds(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
        m_entryMode = st.st_mode;
        m_haveEntry = true;
        entry->path = decodeName(joined(m_path, name));
        entry->name = decodeName(name);
        entry->regular = S_ISREG(st.st_mode);
        entry->identity = internal::identityOfStat(st);
        entry->size = st.st_size;
        entry->links = st.st_nlink;
        entry->readOnly = entry->regular && !(st.st_mode & S_IWUSR);
        entry->hidden = name.startsWith('.');
        entry->system = !entry->regular;
        return true;
    }
    return false;
}

bool FolderTree::entryUnchanged(const struct stat& st, const FileIdentity* seen) const {
    if (seen)
        return seen->matches(internal::identityOfStat(st));
    return quint64(st.st_dev) == m_entryDevice && quint64(st.st_ino) == m_entryInode &&
           (st.st_mode & S_IFMT) == (m_entryMode & S_IFMT) && st.st_size == m_entrySize &&
           nanoseconds(st.st_mtim.tv_sec, st.st_mtim.tv_nsec) == m_entryModified &&
           nanoseconds(st.st_ctim.tv_sec, st.st_ctim.tv_nsec) == m_entryChanged;
}

FileResult FolderTree::removeEntry(const FileIdentity* seen) {
    if (!m_haveEntry || m_stack.empty())
        return FileResult::failed(internal::systemMessage(EINVAL));
    const int fd = m_stack.back().fd;
    struct stat st {};
    if (::fstatat(fd, m_entryName.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return FileResult::failed(internal::systemMessage(errno));
    if (!entryUnchanged(st, seen))
        return FileResult::changed();
    if (::unlinkat(fd, m_entryName.constData(), 0) != 0)
        return FileResult::failed(internal::systemMessage(errno));
    m_haveEntry = false;
    return FileResult::done();
}

FileResult FolderTree::trashEntry(const FileIdentity* seen) {
    if (!m_haveEntry || m_stack.empty())
        return FileResult::failed(internal::systemMessage(EINVAL));
    const int fd = m_stack.back().fd;
    if (!seen) {
        // Devices, FIFOs and the like have no identity of their own: the walk's look stands in.
        struct stat st {};
        if (::fstatat(fd, m_entryName.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return FileResult::failed(internal::systemMessage(errno));
        if (!entryUnchanged(st, nullptr))
            return FileResult::changed();
    }
    const FileResult moved = internal::trashIn(fd, decodeName(m_path), m_entryName, seen);
    if (moved.ok())
        m_haveEntry = false;
    return moved;
}

bool FolderTree::clearReadOnly(QString* error, FileIdentity* now) {
    if (!m_haveEntry || m_stack.empty() || !S_ISREG(m_entryMode))
        return internal::failWith(error, EINVAL);
    // Changed through a descriptor of the file itself, so that a name swapped for a link
    // meanwhile cannot lead the change to another file.
    const int fd = openAt(m_stack.back().fd, m_entryName.constData(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return internal::failWith(error, errno);
    struct stat st {};
    int code = 0;
    if (::fstat(fd, &st) != 0)
        code = errno;
    else if (quint64(st.st_ino) != m_entryInode || quint64(st.st_dev) != m_entryDevice)
        code = ESTALE;
    else if (::fchmod(fd, (st.st_mode & 07777) | S_IWUSR) != 0)
        code = errno;
    else if (::fstat(fd, &st) != 0)
        code = errno;
    ::close(fd);
    if (code != 0)
        return internal::failWith(error, code);
    // The run's own change: later checks of the entry expect its new change time.
    m_entryChanged = nanoseconds(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
    if (now)
        *now = internal::identityOfStat(st);
    return true;
}

bool FolderTree::removeFolder(QString* error) {
    if (!m_opened)
        return internal::failWith(error, EINVAL);
    const QString root = decodeName(m_root);
    const QByteArray parentPath = encodeName(parentFolder(root));
    const qsizetype slash = m_root.lastIndexOf('/');
    const QByteArray name = m_root.mid(slash + 1);
    if (name.isEmpty())
        return internal::failWith(error, EBUSY);
    const int parent = openAt(AT_FDCWD, parentPath.isEmpty() ? "/" : parentPath.constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent < 0)
        return internal::failWith(error, errno);
    struct stat st {};
    int code = 0;
    if (::fstatat(parent, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        code = errno;
    else if (!S_ISDIR(st.st_mode) || !(idOfStat(st) == m_rootId))
        code = ESTALE;
    else if (::unlinkat(parent, name.constData(), AT_REMOVEDIR) != 0)
        code = errno;
    ::close(parent);
    return code == 0 || internal::failWith(error, code);
}

} // namespace platform
