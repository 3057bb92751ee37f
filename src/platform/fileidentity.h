#pragma once

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
    qint64 changed = 0;  // last status change (ctime), nanoseconds; 0: not compared

    bool known() const { return size >= 0; }

    // True when a file that has the identity now is still the one this identity describes.
    // The change time is compared only when this identity records one.
    bool matches(const FileIdentity& now) const {
        return known() && device == now.device && inode == now.inode && size == now.size &&
               modified == now.modified && (changed == 0 || changed == now.changed);
    }
};

constexpr qint64 nanoseconds(qint64 seconds, qint64 nanoseconds) {
    return seconds * 1000000000 + nanoseconds;
}

// The outcome of a change to a listed file: done, refused because the file is no longer the
// one that was listed, or failed with the system's message.
struct FileResult {
    enum Status { Done, Changed, Failed };
    Status status = Done;
    QString message; // why it failed; empty otherwise

    bool ok() const { return status == Done; }
    explicit operator bool() const { return ok(); }
    static FileResult done() { return {}; }
    static FileResult changed() { return {Changed, QString()}; }
    static FileResult failed(const QString& why) { return {Failed, why}; }
};

} // namespace platform
