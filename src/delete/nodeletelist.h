#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace platform {
class RegistryKey;
class RegistryView;
} // namespace platform

// The non-delete list built from the registry: the folders that registry values refer to.
namespace nodelete {

// The folder a registry value refers to, ending in "/": the value up to and including its last
// "/" ("/usr/bin/" for "/usr/bin/editor %1").  A value refers to a folder when it is longer than
// three characters, starts with "/" and holds neither ";" (a list of paths) nor ":" (a second
// path, or a URL).  Empty when the value refers to none.
QString referencedFolder(const QString& value);

// Collects the folders that the values of a registry tree refer to, each once, keeping only
// those that exist as folders.  Names compare as they are: Linux names are case-sensitive.
class FolderReferenceScan {
public:
    // Values are read at most this many levels below the key the search starts from.
    static constexpr int kMaxDepth = 25;

    // Reads the values of every subkey of `key` and searches each subkey that has subkeys of its
    // own, depth first, in the registry's order.  The key the search starts from is depth 1;
    // keys whose depth would exceed kMaxDepth are not searched.
    void findpaths(const platform::RegistryKey& key);

    // The folders found, in the order found.
    const QStringList& folders() const { return m_folders; }

private:
    void addReference(const QString& value);

    int m_depth = 0;
    QStringList m_folders;
    QSet<QString> m_listed;  // the folders of m_folders
    QSet<QString> m_missing; // folders found not to exist (asked once)
};

// Building the list: \SOFTWARE of HKEY_LOCAL_MACHINE, then of HKEY_CURRENT_USER, searched with
// one scan; the folders sorted ignoring case (sortIgnoringCase).
QStringList buildFromRegistry(const platform::RegistryView& view);

} // namespace nodelete
