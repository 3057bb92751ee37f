#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <vector>

// A read-only view of a Windows-style registry: a tree of keys below a few named roots
// (HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, ...).  Each key holds named string
// values, among them the default value (the value with the empty name), and subkeys.  Names of
// keys and values compare without regard to case, as on Windows; where two subkeys differ only in
// case (the MIME database knows "*.c" and "*.C"), the one spelled exactly as asked wins.
//
// Where the content comes from (registry()):
// - when VASTEL_REGISTRY names a file, that file in the REGEDIT4 export format is the whole view
//   and nothing else is read (a missing or unreadable file gives an empty view);
// - otherwise HKEY_CLASSES_ROOT comes from the shared MIME database: a key ".ext" for every
//   simple "*.ext" glob, whose default value is the name of the MIME type (the class name), and
//   a key named after every MIME type whose default value is the type's comment (its
//   description);
//   HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER come from the desktop entries of installed programs
//   (addDesktopEntries): those of the shared data folders ($XDG_DATA_DIRS) make
//   HKEY_LOCAL_MACHINE\SOFTWARE, the user's own ($XDG_DATA_HOME) HKEY_CURRENT_USER\SOFTWARE.
//   The other roots are empty.
//
// The view is built on first use, one root at a time, and kept until
// platform::reloadEnvironment().  Only the user-interface thread uses it.
namespace platform {

class RegistryKey {
public:
    explicit RegistryKey(QString name = QString());
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    const QString& name() const { return m_name; }

    // The value of that name, empty when there is none; the empty name is the default value.
    QString value(const QString& name) const;
    QString defaultValue() const { return value(QString()); }
    bool hasValue(const QString& name) const;
    // Names of the values in the order they were first set ("" for the default value).
    QStringList valueNames() const;

    // The direct subkey of that name (a "\" is part of the name); null when there is none.
    const RegistryKey* subkey(const QString& name) const;
    // The key at a path of names separated by "\" below this key; this key for an empty path.
    const RegistryKey* find(const QString& path) const;
    // Names of the direct subkeys in the order they were added.
    QStringList subkeyNames() const;
    int subkeyCount() const { return int(m_subkeys.size()); }

    // Building.  addSubkey returns the subkey of exactly that name, or of that name in any case
    // when foldCase, creating it when there is none.
    RegistryKey& addSubkey(const QString& name, bool foldCase = false);
    // addSubkey along a "\"-separated path.
    RegistryKey& addPath(const QString& path, bool foldCase = false);
    void setValue(const QString& name, const QString& value);
    void removeValue(const QString& name);
    // Removes the key at a "\"-separated path below this one with everything under it; false when
    // there is no such key.
    bool removePath(const QString& path);

private:
    int indexOf(const QString& name) const;
    void reindex();

    QString m_name;
    QList<QPair<QString, QString>> m_values; // few per key: looked up in order
    std::vector<std::unique_ptr<RegistryKey>> m_subkeys;
    QHash<QString, int> m_exact;  // name -> index in m_subkeys
    QHash<QString, int> m_folded; // case-folded name -> index of the first such subkey
};

// The predefined roots.
enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };
constexpr int kRegistryRootCount = 5;

class RegistryView {
public:
    // Fills one root the first time it is asked for.
    using RootFiller = std::function<void(RegistryRoot, RegistryKey&)>;

    // An empty view whose roots are all present (and stay empty without a filler).
    explicit RegistryView(RootFiller filler = RootFiller());
    RegistryView(const RegistryView&) = delete;
    RegistryView& operator=(const RegistryView&) = delete;

    const RegistryKey& root(RegistryRoot which) const;
    // The root of that name: "HKEY_CLASSES_ROOT" or its short form "HKCR", and so on for
    // HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS and HKEY_CURRENT_CONFIG, in any case.
    static bool rootByName(const QString& name, RegistryRoot* which);
    static QString rootName(RegistryRoot which);

    // The key at a full path such as "HKEY_CLASSES_ROOT\.txt"; null when it does not exist.
    const RegistryKey* key(const QString& path) const;

    // The root to build in (it is then considered filled).
    RegistryKey& mutableRoot(RegistryRoot which);

private:
    RootFiller m_filler;
    mutable std::array<std::unique_ptr<RegistryKey>, kRegistryRootCount> m_roots;
};

// The registry view of the current world (see the top of this file).
const RegistryView& registry();

// Why the registry file that stands for the registry (VASTEL_REGISTRY) could not be read, so
// that the view is empty: missing, not a regular file (a FIFO is refused without waiting), or a
// failed read.  Empty when it was read, or when no such file is in use.
QString registryProblem();

// Drops the view so that the next use reads the registry anew (programs may have been installed
// or removed since it was built); the environment is not read again.
void reloadRegistry();

// A number that changes whenever the view is dropped, so that answers derived from it can be
// remembered and recognised as stale.
quint64 registryGeneration();

// Reads text in the REGEDIT4 export format into the view: a first line "REGEDIT4" (or
// "Windows Registry Editor Version 5.00"), sections "[HKEY_...\path]" that create a key (and
// "[-HKEY_...\path]" that removes one), and within a section string values written
// "name"="value" or @="value" (the default value), with \\ and \" as escapes; "name"=- removes a
// value.  Lines end in CR LF or LF; blank lines and lines starting with ";" are skipped; values of
// other types (dword:, hex:... with their continuation lines) are skipped, and so are sections of
// unknown roots and malformed lines.  UTF-8 unless the text starts with a UTF-16 byte
// order mark.  False (and nothing read) when the header is missing.
bool parseRegistryText(const QByteArray& text, RegistryView& view);

// Fills a classes root from the shared MIME database as described at the top of this file.
void addMimeClasses(RegistryKey& classesRoot);

// Adds to root a key SOFTWARE with one subkey per desktop entry ("*.desktop" files below the
// folder applications/ of each data folder, subfolders included), named by the entry's
// desktop-file id: its path below applications/ with "/" replaced by "-" ("kde/x.desktop" is
// "kde-x.desktop").  The subkey holds the entry's Exec, TryExec, Path and Icon of the group
// [Desktop Entry] as string values (unlocalised keys; escapes such as \s resolved).  The data
// folders are in order of preference: of two entries with the same id the first wins, and an
// entry marked Hidden=true keeps its id but makes no key.  Files without that group are passed
// over.
void addDesktopEntries(RegistryKey& root, const QStringList& dataDirs);

} // namespace platform
