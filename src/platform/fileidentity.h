#pragma once

#include <QPair>
#include <QSet>
#include <QString>
#include <QtGlobal>

namespace platform {

// Which file a path named when a tool listed it, and what it held as far as its size and time
// of last write tell: device and inode say which file, size and times whether it changed.  A
// file is deleted, trashed or archived only while it still has the identity the user saw.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;    // -1: nothing is known, and no file matches
    qint64 modified = 0; // last write, nanoseconds since the epoch
    qint64 changed = 0;  // last status change (ctime), nanoseconds

    bool known() const { return size >= 0; }

    // True when a file that has the identity now is still the one this identity describes.  The
    // change time counts too: a file rewritten with its old size and time of last write put back
    // (cp -p, touch -r, rsync -t) has a new change time.
    bool matches(const FileIdentity& now) const {
        return known() && device == now.device && inode == now.inode && size == now.size &&
               modified == now.modified && changed == now.changed;
    }
};

// Which folder a path names: its device and inode.  A folder reached through a symbolic link or
// a bind mount has the identity of the folder itself.
struct FolderId {
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FolderId& o) const { return device == o.device && inode == o.inode; }
    bool operator!=(const FolderId& o) const { return !(*this == o); }
};

inline size_t qHash(const FolderId& id, size_t seed = 0) {
    return ::qHash(QPair<quint64, quint64>(id.device, id.inode), seed);
}

// Files met under several names (hard links) within one search or run: only the first name met
// counts the file's bytes.  A name is recognised as another of a file met before even when the
// file's count of names has dropped since (its first name deleted meanwhile).
class FirstNames {
public:
    // True for the first name of a file; always true for a file with one name never met before.
    bool first(quint64 device, quint64 inode, quint32 links) {
        const QPair<quint64, quint64> key(device, inode);
        if (m_seen.contains(key))
            return false;
        if (links > 1)
            m_seen.insert(key);
        return true;
    }
    void clear() { m_seen.clear(); }

private:
    QSet<QPair<quint64, quint64>> m_seen; // files with several names met so far
};

constexpr qint64 nanoseconds(qint64 seconds, qint64 nanoseconds) {
    return seconds * 1000000000 + nanoseconds;
}

// The outcome of a change to a listed file: done, refused because the file is no longer the
// one that was listed, held back because the folder it lies in is protected (the message says
// why), or failed with the system's message.
struct FileResult {
    enum Status { Done, Changed, Failed, Protected };
    Status status = Done;
    QString message; // why it failed; empty otherwise

    bool ok() const { return status == Done; }
    explicit operator bool() const { return ok(); }
    static FileResult done() { return {}; }
    static FileResult changed() { return {Changed, QString()}; }
    static FileResult failed(const QString& why) { return {Failed, why}; }
    static FileResult heldBack(const QString& why) { return {Protected, why}; }
};

} // namespace platform
