#include "platform/drives.h"

#include "platform/internal.h"
#include "platform/names.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QSet>
#include <algorithm>
#include <sys/statvfs.h>

namespace platform {

namespace {

constexpr char kFirstLetter = 'C';
constexpr char kLastLetter = 'Z';

// The kernel writes blank, tab, newline and backslash in mount table fields as a backslash and
// three octal digits.
QString decodeMountField(const QByteArray& field) {
    QByteArray out;
    out.reserve(field.size());
    for (int i = 0; i < field.size(); ++i) {
        const char c = field.at(i);
        if (c == '\\' && i + 3 < field.size()) {
            const char a = field.at(i + 1), b = field.at(i + 2), d = field.at(i + 3);
            auto octal = [](char x) { return x >= '0' && x <= '7'; };
            if (octal(a) && octal(b) && octal(d)) {
                out.append(char(((a - '0') << 6) | ((b - '0') << 3) | (d - '0')));
                i += 3;
                continue;
            }
        }
        out.append(c);
    }
    return decodeName(out);
}

std::optional<QList<Drive>> g_drives;

QList<Drive> readDrives() {
    const QString map = qEnvironmentVariable("VASTEL_DRIVES");
    if (map.isEmpty())
        return assignDriveLetters(readMountTable());
    // The roots of a sandbox world are compared with canonical paths, so they must be canonical
    // themselves (a /tmp behind a symbolic link would otherwise match nothing).
    QList<Drive> list = parseDriveMap(map);
    for (Drive& d : list)
        d.root = canonicalPath(d.root);
    return list;
}

// True when root is path itself or one of its ancestors, comparing whole components.
bool rootHolds(const QString& root, const QString& path) {
    return path == root || !pathBelow(root, path).isNull();
}

} // namespace

namespace internal {
void forgetDrives() {
    g_drives.reset();
}
} // namespace internal

std::optional<MountEntry> parseMountInfoLine(const QByteArray& line) {
    // ID PARENT MAJ:MIN ROOT MOUNTPOINT OPTIONS [OPTIONAL...] - FSTYPE SOURCE SUPEROPTIONS
    const QList<QByteArray> fields = line.trimmed().split(' ');
    const int sep = fields.indexOf(QByteArray("-"), 6);
    if (sep < 0 || sep + 1 >= fields.size())
        return std::nullopt;
    MountEntry e;
    e.mountPoint = decodeMountField(fields.at(4));
    e.fsType = decodeMountField(fields.at(sep + 1));
    if (sep + 2 < fields.size())
        e.device = decodeMountField(fields.at(sep + 2));
    if (e.mountPoint.isEmpty() || e.fsType.isEmpty())
        return std::nullopt;
    return e;
}

QList<MountEntry> parseMountInfo(const QByteArray& text) {
    QList<MountEntry> out;
    for (const QByteArray& line : text.split('\n')) {
        if (auto e = parseMountInfoLine(line))
            out.append(*e);
    }
    return out;
}

QList<MountEntry> readMountTable() {
    QFile f(QStringLiteral("/proc/self/mountinfo"));
    // A proc file reports size 0, so read it to the end rather than by its size.
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return parseMountInfo(f.readAll());
}

bool isPseudoFileSystem(const QString& fsType) {
    static const QSet<QString> kPseudo = {
        // kernel and memory file systems
        "proc", "sysfs", "devtmpfs", "devpts", "tmpfs", "ramfs", "rootfs", "cgroup", "cgroup2",
        "cpuset", "securityfs", "selinuxfs", "smackfs", "pstore", "debugfs", "tracefs", "configfs",
        "fusectl", "mqueue", "hugetlbfs", "bpf", "binfmt_misc", "autofs", "efivarfs", "rpc_pipefs",
        "nfsd", "nsfs", "pipefs", "sockfs", "devfs", "usbfs", "xenfs", "zonefs", "fuse.lxcfs",
        // read-only images of snap packages
        "squashfs", "fuse.snapfuse",
        // network file systems
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "ceph", "glusterfs",
        "fuse.glusterfs", "9p", "virtiofs", "lustre", "fuse.sshfs", "fuse.rclone", "davfs",
        "fuse.davfs2", "fuse.s3fs",
        // desktop virtual views
        "fuse.gvfsd-fuse", "fuse.portal", "fuse.doc"};
    return kPseudo.contains(fsType);
}

QList<Drive> assignDriveLetters(const QList<MountEntry>& mounts,
                                const std::function<bool(const QString&)>& isFolder) {
    // A later mount on the same point hides the earlier ones: only the last one counts.
    QHash<QString, QString> typeOfPoint;
    for (const MountEntry& m : mounts)
        typeOfPoint.insert(internal::stripTrailingSlash(m.mountPoint), m.fsType);

    QStringList points;
    for (auto it = typeOfPoint.cbegin(); it != typeOfPoint.cend(); ++it) {
        const QString& point = it.key();
        if (point == QLatin1String("/") || !point.startsWith('/'))
            continue;
        if (isPseudoFileSystem(it.value()) || !isFolder(point))
            continue;
        points.append(point);
    }
    std::sort(points.begin(), points.end());

    QList<Drive> drives;
    drives.append(Drive{QChar(kFirstLetter), QStringLiteral("/")});
    char letter = kFirstLetter + 1;
    for (const QString& point : points) {
        if (letter > kLastLetter)
            break;
        drives.append(Drive{QChar(letter++), point});
    }
    return drives;
}

QList<Drive> assignDriveLetters(const QList<MountEntry>& mounts) {
    return assignDriveLetters(mounts, [](const QString& p) { return isDirectory(p); });
}

QList<Drive> parseDriveMap(const QString& value) {
    QMap<QChar, QString> byLetter; // a later item for the same letter replaces the earlier one
    for (const QString& item : value.split(';', Qt::SkipEmptyParts)) {
        const int eq = item.indexOf('=');
        if (eq < 0)
            continue;
        const QString key = item.left(eq).trimmed().toUpper();
        const QString root = item.mid(eq + 1).trimmed();
        if (key.size() != 1 || key.at(0) < QChar('C') || key.at(0) > QChar('Z'))
            continue;
        if (!root.startsWith('/'))
            continue;
        byLetter.insert(key.at(0), internal::stripTrailingSlash(QDir::cleanPath(root)));
    }
    QList<Drive> drives;
    for (auto it = byLetter.cbegin(); it != byLetter.cend(); ++it)
        drives.append(Drive{it.key(), it.value()});
    return drives;
}

const QList<Drive>& drives() {
    if (!g_drives)
        g_drives = readDrives();
    return *g_drives;
}

std::optional<Drive> driveByLetter(QChar letter) {
    const QChar up = letter.toUpper();
    for (const Drive& d : drives()) {
        if (d.letter == up)
            return d;
    }
    return std::nullopt;
}

std::optional<Drive> driveOfPath(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    const QString canonical = canonicalPath(path);
    std::optional<Drive> best;
    for (const Drive& d : drives()) {
        if (rootHolds(d.root, canonical) && (!best || d.root.size() > best->root.size()))
            best = d;
    }
    return best;
}

bool isDriveRoot(const QString& path) {
    const auto d = driveOfPath(path);
    return d && d->root == canonicalPath(path);
}

QChar currentDriveLetter() {
    const auto d = driveOfPath(currentFolder());
    return d ? d->letter : QChar();
}

QString driveEntryText(const Drive& drive) {
    return drive.letter.toLower() + QStringLiteral(": [") + drive.root + QLatin1Char(']');
}

namespace {

bool statDrive(QChar letter, struct statvfs* st) {
    const auto d = driveByLetter(letter);
    if (!d)
        return false;
    return ::statvfs(encodeName(d->root).constData(), st) == 0;
}

} // namespace

bool isDriveReady(QChar letter) {
    QChar up = letter.toUpper();
    if (up < QChar('A') || up > QChar('Z'))
        up = QChar('C');
    struct statvfs st {};
    return statDrive(up, &st);
}

bool diskGeometry(QChar letter, DiskGeometry* out) {
    struct statvfs st {};
    if (!out || !statDrive(letter, &st))
        return false;
    // f_blocks and f_bavail count fragments of f_frsize bytes; a file system that reports no
    // fragment size counts in f_bsize.
    const quint64 unit = st.f_frsize ? st.f_frsize : st.f_bsize;
    DiskGeometry g;
    g.bytesPerSector = 512;
    g.sectorsPerCluster = std::max<quint64>(1, unit / g.bytesPerSector);
    g.totalClusters = st.f_blocks;
    g.freeClusters = st.f_bavail;
    *out = g;
    return true;
}

} // namespace platform
