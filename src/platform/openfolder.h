#pragma once

#include "platform/fileidentity.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace platform {

// A folder held open by its descriptor, reached from a path one component at a time, so that
// what is done in it happens in the folder that was actually opened (whatever the path names by
// then) and paths longer than the system's limit work all the same.
class OpenFolder {
public:
    enum class Links {
        Follow, // symbolic links on the path are followed, as the kernel would follow them
        Refuse, // no component of the path may be a symbolic link
    };

    OpenFolder() = default;
    ~OpenFolder();
    OpenFolder(OpenFolder&& other) noexcept;
    OpenFolder& operator=(OpenFolder&& other) noexcept;
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    // Opens the folder an absolute path names.  Failed with the reason when it cannot: a missing
    // component, no permission, or with Links::Refuse a component that is a symbolic link.
    FileResult open(const QString& folder, Links links);
    void close();

    bool isOpen() const { return m_fd >= 0; }
    const FolderId& id() const { return m_id; }
    // The path it was opened by.
    const QString& path() const { return m_path; }
    // For the platform layer: the descriptor.
    int descriptor() const { return m_fd; }

private:
    int m_fd = -1;
    FolderId m_id;
    QString m_path;
};

// The identity of the folder an absolute path names, reached component by component with links
// followed (any length of path); nothing when it is no folder or cannot be reached.
std::optional<FolderId> folderIdOfPath(const QString& folder);

// Asked about the folder a file is about to be removed from: a non-empty reason holds the file
// back (FileResult::Protected with that reason).
using FolderGuard = std::function<QString(const FolderId& folder)>;

// Deletes files and sends them to the trash, each only while it is still the file that was
// listed.  Every file's folder is opened from "/" without following a symbolic link, so a folder
// swapped for a link after the listing leads nowhere, and the guard decides on the folder
// actually opened, so no link, bind mount or swapped folder routes a protected folder's file past
// it.  The folder opened last is kept open for the next file of the same folder.
class Disposer {
public:
    // With Links::Follow (for the program's own files, never for listed ones) symbolic links on
    // the way to a file's folder are followed.
    explicit Disposer(FolderGuard guard = {}, OpenFolder::Links links = OpenFolder::Links::Refuse);

    // Deletes one file (or symbolic link): Done, Changed (another file by now, or gone),
    // Protected (by the guard) or Failed with the reason.
    FileResult remove(const QString& path, const FileIdentity& seen);
    // Moves one file to the trash (see trash.h): the same outcomes.
    FileResult trash(const QString& path, const FileIdentity& seen);

private:
    // Opens the folder of `path` (or keeps the one open) and asks the guard; the entry's name in
    // `name`.  Anything but Done leaves nothing to do.
    FileResult prepare(const QString& path, QByteArray* name);

    FolderGuard m_guard;
    OpenFolder::Links m_links;
    OpenFolder m_folder;
    QString m_reason; // the guard's answer for the open folder
};

} // namespace platform
