#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

// The version resource of a Windows program file (PE: .exe, .dll and the like), read by our own
// reader: the DOS and PE headers, the section table, the resource directory down to the first
// RT_VERSION entry, and its VS_VERSIONINFO tree.  Every offset and length is checked against the
// file before it is used: a truncated or corrupted file yields no resource, never a fault.
namespace browse {

// Copies `length` bytes at `offset`; an empty result when they do not all exist.
using ByteReader = std::function<QByteArray(qint64 offset, qint64 length)>;

struct VersionResource {
    bool found = false;              // a VS_VERSIONINFO was read
    bool hasTranslation = false;     // it has \VarFileInfo\Translation
    quint16 language = 0;            // its first language ...
    quint16 codePage = 0;            // ... and code page
    QHash<QString, QString> strings; // "\StringFileInfo\<table>\<key>" (table in upper case)
};

VersionResource readVersionResource(const ByteReader& read);

// The string of \StringFileInfo\<language and code page as 8 hex digits>\<key>; empty when the
// resource has none.
QString versionString(const VersionResource& resource, const QString& key);

// The version lines of the file: for each key of the version table, its label, the separator
// (one TAB when separated, nothing otherwise; twice for "Copyright: ") and the value without
// leading blanks.  No lines for a file without a version resource or without a translation.
QStringList versionInfoLines(const QString& path, bool separated);
QStringList versionInfoLines(const VersionResource& resource, bool separated);

} // namespace browse
