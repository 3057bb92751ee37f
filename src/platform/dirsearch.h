#pragma once

#include "platform/fileidentity.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <memory>

// A first/next search over the entries of one folder, in the order the file system keeps them,
// with the attributes, size and times of each entry.
//
// Attributes of an entry:
//   faReadOnly  (0x01)  the owner has no write permission
//   faHidden    (0x02)  the name starts with "."
//   faSysFile   (0x04)  neither a regular file nor a folder: symbolic link, FIFO, socket, device
//   faVolumeId  (0x08)  never set
//   faDirectory (0x10)  a folder
//   faArchive   (0x20)  every regular file
//
// A search asks for an attribute mask and a pattern.  It returns an entry only when the entry
// has none of the attributes in (~mask & 0x1E): hidden, system, volume and folder entries must
// be named by the mask, read-only and archive never keep an entry out.  The pattern uses "*"
// (any run of characters) and "?" (one character), is matched against the whole name ignoring
// letter case, and "*.*" matches every name.  "." and ".." are never returned.
//
// Folders are read through open folder descriptors: a subfolder is opened relative to its
// parent, so paths of any length work, and a symbolic link is never followed into a folder.
//
// A search is used by one thread at a time.  Opening a subfolder only reads the parent's
// descriptor, device and path, so other threads may open subfolders of a parent while its own
// thread goes on searching it, as long as the parent stays open.
namespace platform {

enum FileAttribute : quint32 {
    faReadOnly = 0x01,
    faHidden = 0x02,
    faSysFile = 0x04,
    faVolumeId = 0x08,
    faDirectory = 0x10,
    faArchive = 0x20,
    faAnyFile = 0x3F,
};

struct DirEntry {
    QString name;                // the name alone, decoded by decodeName
    quint32 attributes = 0;      // FileAttribute bits
    qint64 size = 0;             // bytes; 0 for a folder
    qint64 accessTime = 0;       // last access, seconds since the epoch
    qint64 creationTime = 0;     // birth time; 0 when the file system records none
    qint64 writeTime = 0;        // last write (modification)
    qint32 writeNanoseconds = 0; // the part of the last write below the second
    quint32 links = 1;           // the number of names (hard links) of the file
    quint64 device = 0;          // the file system's device number
    quint64 inode = 0;           // the file's number on its device
    qint64 changeTime = 0;       // last status change, nanoseconds since the epoch
};

// The identity of the file an entry describes (its device, inode, size, time of last write and
// time of last status change).
inline FileIdentity identityOf(const DirEntry& entry) {
    FileIdentity id;
    id.device = entry.device;
    id.inode = entry.inode;
    id.size = entry.size;
    id.modified = nanoseconds(entry.writeTime, entry.writeNanoseconds);
    id.changed = entry.changeTime;
    return id;
}

// The search rule: true when an entry with these attributes is returned by a search that asks
// for the mask.
constexpr bool attributesPassMask(quint32 attributes, quint32 mask) {
    return (attributes & ~mask & 0x1Eu) == 0;
}

// A file-name pattern, prepared once and matched against many names.
class WildcardPattern {
public:
    explicit WildcardPattern(const QString& pattern = QStringLiteral("*.*"));

    // A pattern of another kind: the names whose extension (the text from the last dot to the
    // end, dot included; empty when there is no dot) equals one of these, ignoring case.  No
    // character of an extension is a wildcard.  Its text is "*" before each, joined by ";".
    static WildcardPattern ofExtensions(const QStringList& extensions);

    bool matches(const QString& name) const;
    // True for "*" and "*.*", which match every name.
    bool matchesEverything() const { return m_kind == Kind::Everything; }
    const QString& text() const { return m_text; }

private:
    enum class Kind { Everything, Nothing, Exact, Suffix, General, Extensions };
    QString m_text;
    QString m_folded; // the pattern in case-folded form (for Suffix without the leading "*")
    QStringList m_extensions; // Extensions: each in case-folded form
    Kind m_kind = Kind::Everything;
};

inline bool matchesWildcard(const QString& name, const QString& pattern) {
    return WildcardPattern(pattern).matches(name);
}

class DirSearch {
public:
    DirSearch();
    ~DirSearch();
    DirSearch(const DirSearch&) = delete;
    DirSearch& operator=(const DirSearch&) = delete;

    // Opens a folder by its path (a final symbolic link is followed: the caller named it).
    // False on failure, with error() telling why.
    bool open(const QString& folder);

    // Opens, relative to the parent, the entry that the parent's last next() or nextFolder()
    // returned.  Refused with ENOTDIR when the entry is not a folder (a symbolic link included)
    // and with EXDEV when it lies on another file system than the parent or is a mount point
    // (a bind mount of a folder of the same file system included).
    bool openSubfolder(const DirSearch& parent);
    // The same for the entry of the parent's folder with this name (bytes as currentName()
    // gives them).
    bool openSubfolder(const DirSearch& parent, const QByteArray& name);

    void close();
    // Closes the folder and frees the read buffer, for a search that is kept but not used again
    // soon.
    void release();
    bool isOpen() const { return m_fd >= 0; }

    // The folder's path: the path given to open(), or the parent's path, "/" and the name.
    const QString& folder() const { return m_folder; }
    // The errno of the last failed open (0 after a successful one).
    int error() const { return m_error; }
    QString errorString() const;

    // Starts a search from the folder's first entry.  A folder opened and not yet searched is
    // searched with "*.*" and faAnyFile.
    void start(const QString& pattern, quint32 mask);
    void start(const WildcardPattern& pattern, quint32 mask);

    // The next entry that the search returns; false at the end.  Entries that vanish while the
    // search runs are passed over.  The entry's name buffer is reused from call to call.
    bool next(DirEntry* entry);

    // The next entry that could be a folder to walk into: the entries a search with faDirectory
    // returns, less those known to be files.  Reads no attributes (the file system tells the
    // kind of most entries with their names), so the entry is only known to be a folder when
    // openSubfolder() succeeds on it.
    bool nextFolder();

    // The bytes of the name that the last next() or nextFolder() returned; empty when there is
    // none.
    QByteArray currentName() const;

private:
    bool openIn(const DirSearch& parent, const char* name, int length);
    bool readRaw();
    bool statCurrent(DirEntry* entry, quint32 nameAttributes);

    int m_fd = -1;
    quint64 m_device = 0;
    quint64 m_mount = 0; // the mount's id; 0 when the kernel does not tell it
    int m_error = 0;
    QString m_folder;

    std::unique_ptr<char[]> m_buffer;
    int m_length = 0;     // bytes of entries in the buffer
    int m_position = 0;   // offset of the next entry in the buffer
    int m_fills = 0;      // buffer fills since the start of the search
    bool m_atEnd = false; // the file system said there are no more entries
    bool m_started = false;

    const char* m_name = nullptr; // the current entry, inside the buffer
    int m_nameLength = 0;
    unsigned char m_type = 0; // d_type of the current entry

    WildcardPattern m_pattern;
    quint32 m_mask = faAnyFile;
};

// The attributes, size and times of one path, without following a final symbolic link.  False
// when the path does not exist (or cannot be examined).
bool lookUpEntry(const QString& path, DirEntry* entry);
// The same for a path that must name a file: false for a folder too (a search for any
// attribute but faDirectory).
bool lookUpFile(const QString& path, DirEntry* entry);

// The system's message for an error number a search reported (error()), such as "Permission
// denied".
QString errorText(int error);

// For tests: opening the folder with this path (as folder() would give it) fails with the
// error (EACCES, ENOENT, ...).  Error 0 removes the fault.  Faults are changed only while no
// search runs in another thread.
void setOpenFault(const QString& folder, int error);
void clearOpenFaults();

} // namespace platform
