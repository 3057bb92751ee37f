#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zip {

// True when the file opens as a zip archive.
bool isZipArchive(const QString& path);

// One entry of an archive as it is stored.
struct ZipEntry {
    qint64 index = -1;      // position in the archive
    QString path;           // stored name as text; a folder entry ends in "/"
    QString name;           // last component of the path
    bool folder = false;    // a folder entry
    bool link = false;      // stored as a symbolic link (never extracted)
    bool otherKind = false; // stored as a device, FIFO or socket (never extracted)
    bool encrypted = false; // needs a password
    qint64 size = 0;        // uncompressed
    qint64 compressedSize = 0;
    quint32 crc = 0;
    QDateTime modified;              // local time of last write; invalid when unknown
    quint32 dosDateTime = 0;         // the same in packed DOS form (0 when it has none)
    std::optional<quint32> unixMode; // permissions and type, when stored by a Unix system
};

// A node of the tree of an archive: the folders and files its entry names describe.  Folders
// that have no entry of their own (only files below them) are nodes too, with entry -1.
struct ZipNode {
    QString name; // one component; empty for the root
    QString path; // components from the root joined by "/"
    bool folder = false;
    int entry = -1; // index into ZipReader::entries(), -1 for a folder without an entry
    int row = 0;    // position among the parent's children
    ZipNode* parent = nullptr;
    std::vector<std::unique_ptr<ZipNode>> children;
};

// What went wrong with one entry during extraction.
struct ExtractFailure {
    enum class Operation {
        Check, // deciding whether and where the entry may be written
        Open,  // opening the entry in the archive
        Read,  // reading (inflating, decrypting) its data
        Write, // creating folders, writing, renaming or timing the file
    };
    enum class Kind {
        Unsafe,     // the name leads outside the destination (absolute or with "..")
        Link,       // stored as a link, device, FIFO or socket
        Password,   // no password, or a wrong one
        Engine,     // another error of the archive engine
        FileSystem, // the file system refused
        InTheWay,   // something that is not a regular file already has the name
    };
    QString entry; // the stored name
    Operation operation = Operation::Check;
    Kind kind = Kind::Engine;
    int zipError = 0; // libzip's error code, 0 when the failure is not the engine's
    QString message;  // libzip's text for zipError, else what went wrong
};

// Reads zip archives: their entries as a list and as a tree, their comment, and extraction of
// their entries into a destination folder.
//
// Extraction never writes outside the destination: entries with absolute names or ".."
// components and entries stored as symbolic links, devices, FIFOs or sockets are refused and
// reported as failures.  Stored paths are restored below the destination (folders are created as
// needed); a folder that is a symbolic link already present in the destination is the user's own
// and is followed.  Nothing that exists is ever overwritten: when anything already has an entry's
// name (a regular file, a folder, a symbolic link, a device) the entry fails as InTheWay and that
// thing is left alone.  A file is written under a temporary name in its folder, given the entry's
// time of last write, flushed to the device and only then given its name (a rename that refuses
// a name taken meanwhile), after which the folder is flushed too; any step that fails (the time
// included) fails the entry and removes the temporary file.  Extracted files get their
// permission bits when the archive holds them.  After a failed entry the extraction goes on with
// the next one.
class ZipReader {
public:
    ZipReader();
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    // Opens an archive and reads its directory.  On failure (no archive, unreadable) the archive
    // open before stays open and unchanged.  The load callback runs after a successful open.
    bool open(const QString& archivePath);
    void close();
    bool isOpen() const;
    QString archivePath() const;
    QString lastError() const;

    QString comment() const;
    qint64 entryCount() const; // entries as stored (folder entries included)
    qint64 fileCount() const;  // entries that are not folders
    const QList<ZipEntry>& entries() const;
    const ZipNode& tree() const;

    // ---- Callbacks ----
    // Overall progress of an extraction, 0..100, by bytes written.
    void setProgress(std::function<void(int percent)> progress);
    // Asked for an encrypted entry when no password given so far fits it; return the password,
    // or nothing to leave the entry out.
    void setPasswordRequest(std::function<std::optional<QString>(const QString& entry)> request);
    // Called for every entry that could not be extracted.
    void setFailure(std::function<void(const ExtractFailure&)> failure);
    // Called when an archive has been opened and its directory read.
    void setLoaded(std::function<void()> loaded);

    // ---- Extract options ----
    // A stored folder ("home/ann"): only entries below it are extracted, relative to it.  Empty
    // for all entries.
    void setBaseFolder(const QString& storedFolder);
    QString baseFolder() const;
    // Restore the stored paths below the destination (on at first); off puts every file
    // straight into the destination.
    void setRestorePaths(bool on);
    // Create the folders that are missing (on at first); off makes such entries fail.
    void setCreateFolders(bool on);

    struct ExtractResult {
        qint64 extracted = 0; // files written and folders created
        qint64 failed = 0;    // entries reported to the failure callback
    };

    // Extracts the entries whose file name matches the pattern ("*" and "?", letter case
    // ignored; "*.*" and an empty pattern match every name) into the destination folder.
    ExtractResult extract(const QString& destination,
                          const QString& pattern = QStringLiteral("*.*"));

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace zip
