// The desktop entries of installed programs as registry keys (see addDesktopEntries in
// registry.h).
#include "platform/filesync.h"
#include "platform/registry.h"

#include <QDir>
#include <QDirIterator>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>

namespace platform {

namespace {

// Larger files are no desktop entries; they are passed over unread.
constexpr qint64 kMaxEntrySize = 1 << 20;

// The keys of an entry that become values of its registry key.
const char* const kEntryKeys[] = {"Exec", "TryExec", "Path", "Icon"};

// The escapes of a string value: \s, \n, \t, \r and \\.  Any other backslash stands for itself.
QString unescapeValue(QStringView raw) {
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        QChar c = raw[i];
        if (c == QLatin1Char('\\') && i + 1 < raw.size()) {
            switch (raw[i + 1].unicode()) {
            case 's':
                c = QLatin1Char(' ');
                break;
            case 'n':
                c = QLatin1Char('\n');
                break;
            case 't':
                c = QLatin1Char('\t');
                break;
            case 'r':
                c = QLatin1Char('\r');
                break;
            case '\\':
                break;
            default:
                --i;
                break; // not an escape: the backslash alone
            }
            ++i;
        }
        out.append(c);
    }
    return out;
}

struct DesktopEntry {
    bool valid = false;  // the file has a [Desktop Entry] group
    bool hidden = false; // Hidden=true: the program counts as removed
    QList<QPair<QString, QString>> values;
};

// The keys of the [Desktop Entry] group that matter here; the first of a repeated key counts,
// localised keys ("Icon[de]") are left out.
DesktopEntry readDesktopEntry(const QString& path) {
    DesktopEntry entry;
    // Anything but a regular file of sensible size (a FIFO, a device) is passed over unread.
    const FileContent content = readWholeFile(path, kMaxEntrySize);
    if (content.status != FileContent::Read)
        return entry;
    QStringDecoder decoder(QStringConverter::Utf8);
    const QString text = decoder.decode(content.bytes);
    bool inGroup = false;
    for (const QStringView rawLine : QStringView(text).split(QLatin1Char('\n'))) {
        const QStringView line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (inGroup)
                break; // the group ends at the next one
            inGroup = line == QLatin1String("[Desktop Entry]");
            entry.valid = entry.valid || inGroup;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inGroup || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed().toString();
        const QString value = unescapeValue(line.mid(equals + 1).trimmed());
        if (key == QLatin1String("Hidden")) {
            entry.hidden = value == QLatin1String("true");
            continue;
        }
        const bool wanted = std::any_of(std::begin(kEntryKeys), std::end(kEntryKeys),
                                        [&key](const char* k) { return key == QLatin1String(k); });
        const bool seen = std::any_of(entry.values.cbegin(), entry.values.cend(),
                                      [&key](const auto& v) { return v.first == key; });
        if (wanted && !seen)
            entry.values.append({key, value});
    }
    return entry;
}

// The .desktop files below a folder, as paths relative to it, in name order.
QStringList desktopFilesBelow(const QString& folder) {
    QStringList relative;
    const QDir base(folder);
    QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        relative << base.relativeFilePath(it.next());
    relative.sort();
    return relative;
}

} // namespace

void addDesktopEntries(RegistryKey& root, const QStringList& dataDirs) {
    RegistryKey& software = root.addSubkey(QStringLiteral("SOFTWARE"));
    QSet<QString> taken; // desktop-file ids already met: the first one wins
    for (const QString& dir : dataDirs) {
        const QString applications = dir + QStringLiteral("/applications");
        for (const QString& relative : desktopFilesBelow(applications)) {
            QString id = relative;
            id.replace(QLatin1Char('/'), QLatin1Char('-'));
            if (taken.contains(id))
                continue;
            const DesktopEntry entry = readDesktopEntry(applications + QLatin1Char('/') + relative);
            if (!entry.valid)
                continue;
            taken.insert(id);
            if (entry.hidden)
                continue;
            RegistryKey& key = software.addSubkey(id);
            for (const auto& [name, value] : entry.values)
                key.setValue(name, value);
        }
    }
}

} // namespace platform
