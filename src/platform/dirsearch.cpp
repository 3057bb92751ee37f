#include "platform/dirsearch.h"

#include "platform/internal.h"
#include "platform/names.h"
#include "platform/openfolder.h"
#include "platform/paths.h"

#include <QHash>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform {

namespace {

// Room for a few hundred entries per read, as the C library's own directory streams use.
constexpr int kBufferSize = 32 * 1024;

// What statx is asked for.  The birth time comes in the same call when the file system keeps
// one.
constexpr unsigned kStatxFields = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME |
                                  STATX_CTIME | STATX_BTIME | STATX_INO | STATX_NLINK;

// Looking at an entry must not mount an automounted file system on the way.
constexpr int kNoFollow = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT;

QHash<QString, int>& openFaults() {
    static QHash<QString, int> faults;
    return faults;
}
bool g_anyOpenFault = false;

int openFault(const QString& folder) {
    return g_anyOpenFault ? openFaults().value(folder, 0) : 0;
}

inline char16_t foldChar(char16_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? char16_t(c + ('a' - 'A')) : c;
    const char32_t f = QChar::toCaseFolded(char32_t(c));
    return f <= 0xFFFF ? char16_t(f) : c;
}

// "*" and "?" over case-folded text; the pattern is folded already, the name on the fly.
bool wildMatch(const char16_t* p, qsizetype pn, const char16_t* s, qsizetype sn) {
    qsizetype pi = 0, si = 0;
    qsizetype starP = -1, starS = 0;
    while (si < sn) {
        if (pi < pn && p[pi] == u'*') {
            starP = pi++;
            starS = si;
        } else if (pi < pn && (p[pi] == u'?' || p[pi] == foldChar(s[si]))) {
            ++pi;
            ++si;
        } else if (starP >= 0) {
            pi = starP + 1;
            si = ++starS;
        } else {
            return false;
        }
    }
    while (pi < pn && p[pi] == u'*')
        ++pi;
    return pi == pn;
}

// The name of an entry into a reused string: plain ASCII names are copied into the string's
// own buffer, which allocates nothing once the buffer is large enough; other names go through
// decodeName.
void assignName(QString& out, const char* bytes, int length) {
    int i = 0;
    while (i < length && static_cast<unsigned char>(bytes[i]) < 0x80)
        ++i;
    if (i < length) {
        out = decodeName(bytes, length);
        return;
    }
    out.resize(length);
    char16_t* d = reinterpret_cast<char16_t*>(out.data());
    for (int k = 0; k < length; ++k)
        d[k] = char16_t(static_cast<unsigned char>(bytes[k]));
}

quint32 attributesOfType(unsigned char type) {
    switch (type) {
    case DT_DIR:
        return faDirectory;
    case DT_REG:
        return faArchive;
    default:
        return faSysFile;
    }
}

quint32 attributesOfMode(unsigned mode) {
    quint32 a;
    if (S_ISDIR(mode))
        a = faDirectory;
    else if (S_ISREG(mode))
        a = faArchive;
    else
        a = faSysFile;
    if (!(mode & S_IWUSR) && !S_ISLNK(mode))
        a |= faReadOnly;
    return a;
}

void fillEntry(const struct statx& st, quint32 attributes, DirEntry* entry) {
    entry->attributes = attributes;
    entry->size = (attributes & faDirectory) ? 0 : qint64(st.stx_size);
    entry->accessTime = st.stx_atime.tv_sec;
    entry->writeTime = st.stx_mtime.tv_sec;
    entry->writeNanoseconds = qint32(st.stx_mtime.tv_nsec);
    entry->device = makedev(st.stx_dev_major, st.stx_dev_minor);
    entry->inode = st.stx_ino;
    entry->links = (st.stx_mask & STATX_NLINK) ? quint32(st.stx_nlink) : 1;
    entry->creationTime = (st.stx_mask & STATX_BTIME) ? qint64(st.stx_btime.tv_sec) : 0;
    entry->changeTime = nanoseconds(st.stx_ctime.tv_sec, st.stx_ctime.tv_nsec);
}

} // namespace

// --- WildcardPattern --------------------------------------------------------------------------

WildcardPattern::WildcardPattern(const QString& pattern) : m_text(pattern) {
    if (pattern == QLatin1String("*") || pattern == QLatin1String("*.*")) {
        m_kind = Kind::Everything;
        return;
    }
    if (pattern.isEmpty()) {
        m_kind = Kind::Nothing;
        return;
    }
    // Folded one UTF-16 unit at a time, exactly as names are folded while they are matched.
    m_folded = pattern;
    for (QChar& c : m_folded)
        c = QChar(foldChar(c.unicode()));
    const bool hasQuestion = m_folded.contains(QLatin1Char('?'));
    const qsizetype stars = m_folded.count(QLatin1Char('*'));
    if (stars == 0 && !hasQuestion) {
        m_kind = Kind::Exact;
    } else if (stars == 1 && !hasQuestion && m_folded.startsWith(QLatin1Char('*'))) {
        m_kind = Kind::Suffix;
        m_folded.remove(0, 1);
    } else {
        m_kind = Kind::General;
    }
}

WildcardPattern WildcardPattern::ofExtensions(const QStringList& extensions) {
    WildcardPattern pattern;
    pattern.m_kind = Kind::Extensions;
    QStringList texts;
    for (QString folded : extensions) {
        texts << QLatin1Char('*') + folded;
        for (QChar& c : folded)
            c = QChar(foldChar(c.unicode()));
        if (!pattern.m_extensions.contains(folded))
            pattern.m_extensions << folded;
    }
    pattern.m_text = texts.join(QLatin1Char(';'));
    return pattern;
}

bool WildcardPattern::matches(const QString& name) const {
    const auto* s = reinterpret_cast<const char16_t*>(name.constData());
    const auto* p = reinterpret_cast<const char16_t*>(m_folded.constData());
    const qsizetype sn = name.size();
    const qsizetype pn = m_folded.size();
    switch (m_kind) {
    case Kind::Everything:
        return true;
    case Kind::Nothing:
        return false;
    case Kind::Exact:
    case Kind::Suffix: {
        if (sn < pn || (m_kind == Kind::Exact && sn != pn))
            return false;
        const char16_t* tail = s + (sn - pn);
        for (qsizetype i = 0; i < pn; ++i) {
            if (foldChar(tail[i]) != p[i])
                return false;
        }
        return true;
    }
    case Kind::Extensions: {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        const qsizetype length = dot < 0 ? 0 : sn - dot;
        for (const QString& extension : m_extensions) {
            if (extension.size() != length)
                continue;
            const auto* e = reinterpret_cast<const char16_t*>(extension.constData());
            qsizetype i = 0;
            while (i < length && foldChar(s[dot + i]) == e[i])
                ++i;
            if (i == length)
                return true;
        }
        return false;
    }
    case Kind::General:
        break;
    }
    return wildMatch(p, pn, s, sn);
}

// --- DirSearch --------------------------------------------------------------------------------

DirSearch::DirSearch() = default;

DirSearch::~DirSearch() {
    close();
}

void DirSearch::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_length = m_position = m_fills = 0;
    m_atEnd = false;
    m_started = false;
    m_name = nullptr;
}

void DirSearch::release() {
    close();
    m_buffer.reset();
}

QString DirSearch::errorString() const {
    return m_error ? internal::systemMessage(m_error) : QString();
}

bool DirSearch::open(const QString& folder) {
    close();
    m_folder = folder;
    if ((m_error = openFault(folder)) != 0)
        return false;
    const int fd = ::open(encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        m_error = errno;
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        m_error = errno;
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_device = st.st_dev;
    m_mount = internal::mountIdOf(fd);
    m_error = 0;
    return true;
}

bool DirSearch::openSubfolder(const DirSearch& parent) {
    return openIn(parent, parent.m_name, parent.m_nameLength);
}

bool DirSearch::openSubfolder(const DirSearch& parent, const QByteArray& name) {
    return openIn(parent, name.isEmpty() ? nullptr : name.constData(), int(name.size()));
}

bool DirSearch::openIn(const DirSearch& parent, const char* name, int length) {
    close();
    if (!parent.isOpen() || !name) {
        m_error = EBADF;
        return false;
    }
    m_folder = joinPath(parent.m_folder, decodeName(name, length));
    if ((m_error = openFault(m_folder)) != 0)
        return false;

    // Look before opening: a symbolic link is no folder to enter, a mount point belongs to
    // another drive, and an automount point is left alone.
    struct statx st {};
    if (::statx(parent.m_fd, name, kNoFollow, STATX_TYPE | STATX_MNT_ID, &st) != 0) {
        m_error = errno;
        return false;
    }
    if (!S_ISDIR(st.stx_mode)) {
        m_error = ENOTDIR;
        return false;
    }
    const quint64 device = makedev(st.stx_dev_major, st.stx_dev_minor);
    const quint64 mount = (st.stx_mask & STATX_MNT_ID) ? quint64(st.stx_mnt_id) : 0;
    if (device != parent.m_device || mount != parent.m_mount) {
        m_error = EXDEV;
        return false;
    }
    const int fd = ::openat(parent.m_fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        m_error = errno;
        return false;
    }
    m_fd = fd;
    m_device = device;
    m_mount = mount;
    m_error = 0;
    return true;
}

void DirSearch::start(const QString& pattern, quint32 mask) {
    start(WildcardPattern(pattern), mask);
}

void DirSearch::start(const WildcardPattern& pattern, quint32 mask) {
    m_pattern = pattern;
    m_mask = mask;
    m_started = true;
    m_name = nullptr;
    if (m_fd < 0)
        return;
    // Nothing read yet: the folder is at its start already.  A folder read in one piece is
    // searched again from the buffer.  A larger one is read anew.
    if (m_fills == 0 && !m_atEnd) {
        m_length = m_position = 0;
        return;
    }
    if (m_fills == 1 && m_atEnd) {
        m_position = 0;
        return;
    }
    m_length = m_position = m_fills = 0;
    // A folder that cannot be read again from its start gives nothing rather than the rest of
    // an earlier reading.
    m_atEnd = ::lseek(m_fd, 0, SEEK_SET) != 0;
}

bool DirSearch::readRaw() {
    if (m_fd < 0)
        return false;
    if (!m_buffer)
        m_buffer.reset(new char[kBufferSize]);
    for (;;) {
        if (m_position >= m_length) {
            if (m_atEnd)
                return false;
            const ssize_t n = ::getdents64(m_fd, m_buffer.get(), kBufferSize);
            if (n <= 0) {
                // The end, or an error reading the folder: either way the search is over.
                m_atEnd = true;
                if (n < 0)
                    m_fills = 0; // not a complete listing: read again on the next start
                return false;
            }
            m_length = int(n);
            m_position = 0;
            ++m_fills;
        }
        const auto* d = reinterpret_cast<const struct dirent64*>(m_buffer.get() + m_position);
        m_position += d->d_reclen;
        const char* n = d->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0')))
            continue;
        m_name = n;
        m_nameLength = int(std::strlen(n));
        m_type = d->d_type;
        return true;
    }
}

bool DirSearch::nextFolder() {
    if (!m_started)
        start(WildcardPattern(), faAnyFile);
    while (readRaw()) {
        if (m_name[0] == '.')
            continue; // hidden
        if (m_type == DT_DIR || m_type == DT_UNKNOWN)
            return true;
    }
    m_name = nullptr;
    return false;
}

QByteArray DirSearch::currentName() const {
    return m_name ? QByteArray(m_name, m_nameLength) : QByteArray();
}

bool DirSearch::statCurrent(DirEntry* entry, quint32 nameAttributes) {
    struct statx st;
    if (::statx(m_fd, m_name, kNoFollow, kStatxFields, &st) != 0)
        return false;
    const quint32 attributes = nameAttributes | attributesOfMode(st.stx_mode);
    if (!attributesPassMask(attributes, m_mask))
        return false;
    fillEntry(st, attributes, entry);
    return true;
}

bool DirSearch::next(DirEntry* entry) {
    if (!m_started)
        start(WildcardPattern(), faAnyFile);
    const bool everyName = m_pattern.matchesEverything();
    while (readRaw()) {
        const quint32 nameAttributes = m_name[0] == '.' ? quint32(faHidden) : 0u;
        if (!attributesPassMask(nameAttributes, m_mask))
            continue;
        if (m_type != DT_UNKNOWN && !attributesPassMask(attributesOfType(m_type), m_mask))
            continue;
        assignName(entry->name, m_name, m_nameLength);
        if (!everyName && !m_pattern.matches(entry->name))
            continue;
        if (statCurrent(entry, nameAttributes))
            return true;
    }
    m_name = nullptr;
    return false;
}

// --- single entries and test faults -----------------------------------------------------------

bool lookUpEntry(const QString& path, DirEntry* entry) {
    if (path.isEmpty() || !entry)
        return false;
    struct statx st;
    if (::statx(AT_FDCWD, encodeName(path).constData(), kNoFollow, kStatxFields, &st) != 0) {
        // A path deeper than the system takes at once is looked up from its open folder.
        OpenFolder folder;
        QByteArray last;
        if (errno != ENAMETOOLONG || !internal::openParentOfLongPath(path, &folder, &last) ||
            ::statx(folder.descriptor(), last.constData(), kNoFollow, kStatxFields, &st) != 0)
            return false;
    }
    QString name = path;
    while (name.size() > 1 && name.endsWith(QLatin1Char('/')))
        name.chop(1);
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0 && name.size() > 1)
        name = name.mid(slash + 1);
    entry->name = name;
    const quint32 hidden = entry->name.startsWith(QLatin1Char('.')) ? quint32(faHidden) : 0u;
    fillEntry(st, hidden | attributesOfMode(st.stx_mode), entry);
    return true;
}

bool lookUpFile(const QString& path, DirEntry* entry) {
    return lookUpEntry(path, entry) && !(entry->attributes & faDirectory);
}

QString errorText(int error) {
    return internal::systemMessage(error);
}

void setOpenFault(const QString& folder, int error) {
    if (error)
        openFaults().insert(folder, error);
    else
        openFaults().remove(folder);
    g_anyOpenFault = !openFaults().isEmpty();
}

void clearOpenFaults() {
    openFaults().clear();
    g_anyOpenFault = false;
}

} // namespace platform
