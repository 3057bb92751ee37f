#pragma once

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

// Drives: every mounted local file system gets a letter.  The one holding "/" is C, the others
// D, E, ... in order of mount path; A and B are never given out, Z is the last.  In a sandbox
// world VASTEL_DRIVES ("C=/tmp/w/c;D=/tmp/w/d") replaces the mounted file systems.
namespace platform {

struct MountEntry {
    QString mountPoint; // as the mount table gives it, escapes decoded
    QString fsType;     // "ext4", "proc", ...
    QString device;     // mount source
};

struct Drive {
    QChar letter; // upper case, 'C'..'Z'
    QString root; // the mount point; no trailing "/" except for "/" itself
};

// Cluster geometry of a drive, in the terms the tools use (statvfs underneath).
struct DiskGeometry {
    quint64 bytesPerSector = 512;
    quint64 sectorsPerCluster = 0; // f_frsize / 512 (at least 1)
    quint64 totalClusters = 0;     // f_blocks
    quint64 freeClusters = 0;      // f_bavail
    quint64 clusterSize() const { return bytesPerSector * sectorsPerCluster; }
    quint64 capacity() const { return clusterSize() * totalClusters; }
    quint64 freeBytes() const { return clusterSize() * freeClusters; }
};

// The mount table of this process (/proc/self/mountinfo).
QList<MountEntry> readMountTable();

// One line of a mountinfo file; nothing for a line that is not a well-formed entry.  The octal
// escapes of the kernel ("\040" for a blank) are decoded in the mount point and the device.
std::optional<MountEntry> parseMountInfoLine(const QByteArray& line);

// Every well-formed line of a mountinfo text, in order.
QList<MountEntry> parseMountInfo(const QByteArray& text);

// True for proc, sysfs, devtmpfs, cgroup, tmpfs and the other file systems that hold no
// user files, and for network file systems.
bool isPseudoFileSystem(const QString& fsType);

// Letters for a mount table: pseudo file systems and mount points that are not folders are left
// out, a mount point mounted twice counts once (its last mount, which hides the earlier ones),
// "/" is C, the rest follow in order of mount path up to Z.  "/" is always drive C, listed or
// not and whatever file system holds it (a live system's root may be a tmpfs, a chroot's root
// is no mount point of its own).  Sorted by letter.
QList<Drive> assignDriveLetters(const QList<MountEntry>& mounts);

// The same with the "is a folder" test supplied by the caller, so that a made-up table can be
// lettered without the file system.
QList<Drive> assignDriveLetters(const QList<MountEntry>& mounts,
                                const std::function<bool(const QString&)>& isFolder);

// Parses a VASTEL_DRIVES value.  Malformed items are skipped.  Sorted by letter.
QList<Drive> parseDriveMap(const QString& value);

// The drives of the current world, sorted by letter.
const QList<Drive>& drives();

// The drive with that letter (either case), if any.
std::optional<Drive> driveByLetter(QChar letter);

// The drive whose root is the longest prefix of the path (whole components only).
std::optional<Drive> driveOfPath(const QString& path);

// True when the path (after canonicalisation) is the root of its drive.
bool isDriveRoot(const QString& path);

// The drive that holds the process's current folder; a null QChar when none does.
QChar currentDriveLetter();

// The text of a drive in the drive lists: lower-case letter, ":", a blank, the root in brackets,
// for example "c: [/]".
QString driveEntryText(const Drive& drive);

// The drive-ready test: the drive exists and statvfs on its root succeeds.  A letter outside
// A..Z is tested as C.
bool isDriveReady(QChar letter);

// Geometry of a ready drive; false when the drive is unknown or not ready.
bool diskGeometry(QChar letter, DiskGeometry* out);

} // namespace platform
