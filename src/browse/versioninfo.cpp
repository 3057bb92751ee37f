#include "browse/versioninfo.h"

#include "browse/viewedfile.h"

#include <QList>
#include <QtEndian>

namespace browse {

namespace {

constexpr quint32 kRtVersion = 16;
constexpr qint64 kMaxResourceBytes = 65536; // wLength is a 16-bit number
constexpr int kMaxSections = 96;
constexpr int kMaxEntries = 4096;

// The little-endian number at `at`; 0 where its bytes are not all there.  Callers check the
// lengths first: this keeps a slip from reading outside the bytes.
quint16 u16(const QByteArray& b, qint64 at) {
    return at >= 0 && at + 2 <= b.size() ? qFromLittleEndian<quint16>(b.constData() + at) : 0;
}
quint32 u32(const QByteArray& b, qint64 at) {
    return at >= 0 && at + 4 <= b.size() ? qFromLittleEndian<quint32>(b.constData() + at) : 0;
}

// Reads exactly `length` bytes or nothing.
QByteArray readExactly(const ByteReader& read, qint64 offset, qint64 length) {
    if (offset < 0 || length <= 0)
        return QByteArray();
    QByteArray bytes = read(offset, length);
    return bytes.size() == length ? bytes : QByteArray();
}

struct Section {
    quint32 virtualAddress, rawSize, rawOffset;
};

// The file offset of rva .. rva + length, when the raw data of one section holds it all.
qint64 fileOffset(const QList<Section>& sections, quint32 rva, quint32 length) {
    for (const Section& s : sections) {
        if (rva >= s.virtualAddress && quint64(rva) - s.virtualAddress + length <= s.rawSize)
            return qint64(s.rawOffset) + (rva - s.virtualAddress);
    }
    return -1;
}

struct ResourceDirectory {
    qint64 offset = -1; // of the resource section in the file
    quint32 size = 0;
};

// The entry of a resource directory (at `at`, relative to the resource section) with the id, or
// the first entry when id < 0; its OffsetToData field, or 0 when there is none.
quint32 directoryEntry(const ByteReader& read, const ResourceDirectory& dir, quint32 at,
                       qint64 id) {
    if (quint64(at) + 16 > dir.size)
        return 0;
    const QByteArray head = readExactly(read, dir.offset + at, 16);
    if (head.isEmpty())
        return 0;
    const int count = u16(head, 12) + u16(head, 14);
    if (count == 0 || count > kMaxEntries || quint64(at) + 16 + quint64(count) * 8 > dir.size)
        return 0;
    const QByteArray entries = readExactly(read, dir.offset + at + 16, qint64(count) * 8);
    if (entries.isEmpty())
        return 0;
    for (int i = 0; i < count; ++i) {
        const quint32 name = u32(entries, i * 8);
        if (id < 0 || (!(name & 0x80000000u) && name == quint32(id)))
            return u32(entries, i * 8 + 4);
    }
    return 0;
}

// The bytes of the first version resource; empty when the file has none.
QByteArray versionBytes(const ByteReader& read) {
    const QByteArray dos = readExactly(read, 0, 64);
    if (dos.isEmpty() || dos[0] != 'M' || dos[1] != 'Z')
        return QByteArray();
    const qint64 pe = u32(dos, 0x3C);
    const QByteArray head = readExactly(read, pe, 24);
    if (head.isEmpty() || !head.startsWith(QByteArray("PE\0\0", 4)))
        return QByteArray();
    const int sectionCount = u16(head, 6);
    const int optionalSize = u16(head, 20);
    if (sectionCount == 0 || sectionCount > kMaxSections)
        return QByteArray();
    const QByteArray optional = readExactly(read, pe + 24, optionalSize);
    if (optional.size() < 2)
        return QByteArray();
    const quint16 magic = u16(optional, 0);
    const int countAt = magic == 0x10b ? 92 : magic == 0x20b ? 108 : -1;
    if (countAt < 0 || optional.size() < countAt + 4 || u32(optional, countAt) < 3 ||
        optional.size() < countAt + 4 + 3 * 8)
        return QByteArray();
    const quint32 resourceRva = u32(optional, countAt + 4 + 2 * 8);
    const quint32 resourceSize = u32(optional, countAt + 4 + 2 * 8 + 4);

    const QByteArray table = readExactly(read, pe + 24 + optionalSize, qint64(sectionCount) * 40);
    if (table.isEmpty() || resourceSize == 0)
        return QByteArray();
    QList<Section> sections;
    for (int i = 0; i < sectionCount; ++i)
        sections.append(
            {u32(table, i * 40 + 12), u32(table, i * 40 + 16), u32(table, i * 40 + 20)});

    ResourceDirectory dir;
    dir.offset = fileOffset(sections, resourceRva, resourceSize);
    dir.size = resourceSize;
    if (dir.offset < 0)
        return QByteArray();
    // Type and name lead to subfolders: the version type, then its first name; the first entry
    // below that (its first language) is the data entry.
    quint32 entry = 0;
    const qint64 ids[] = {kRtVersion, -1};
    for (int level = 0; level < 2; ++level) {
        entry = directoryEntry(read, dir, entry & 0x7FFFFFFFu, ids[level]);
        if (!(entry & 0x80000000u))
            return QByteArray();
    }
    entry = directoryEntry(read, dir, entry & 0x7FFFFFFFu, -1);
    if (entry == 0 || (entry & 0x80000000u) || quint64(entry) + 16 > resourceSize)
        return QByteArray();
    const QByteArray data = readExactly(read, dir.offset + entry, 8);
    if (data.isEmpty())
        return QByteArray();
    const quint32 rva = u32(data, 0);
    const quint32 size = u32(data, 4);
    if (size < 6 || size > kMaxResourceBytes)
        return QByteArray();
    const qint64 at = fileOffset(sections, rva, size);
    return at < 0 ? QByteArray() : readExactly(read, at, size);
}

// One node of the VS_VERSIONINFO tree.
struct Block {
    QString key;
    quint16 type = 0;
    qint64 valueStart = 0, valueEnd = 0; // binary value; a text value runs to `end`
    qint64 childrenStart = 0, end = 0;
};

qint64 align4(qint64 at) {
    return (at + 3) & ~qint64(3);
}

// The blocks lying one after the other in data[start, end).
QList<Block> blocksIn(const QByteArray& data, qint64 start, qint64 end) {
    QList<Block> blocks;
    qint64 at = align4(start);
    while (at + 6 <= end) {
        const quint16 length = u16(data, at);
        if (length < 6 || at + length > end)
            break;
        Block b;
        b.end = at + length;
        b.type = u16(data, at + 4);
        qint64 p = at + 6;
        while (p + 2 <= b.end && u16(data, p) != 0) {
            b.key.append(QChar(u16(data, p)));
            p += 2;
        }
        b.valueStart = std::min(align4(p + 2), b.end);
        const qint64 valueBytes = u16(data, at + 2) * (b.type == 1 ? 2 : 1);
        b.valueEnd = std::min(b.valueStart + valueBytes, b.end);
        b.childrenStart = std::min(align4(b.valueEnd), b.end);
        blocks.append(b);
        at = align4(b.end);
    }
    return blocks;
}

QString textValue(const QByteArray& data, const Block& b) {
    QString text;
    for (qint64 p = b.valueStart; p + 2 <= b.end; p += 2) {
        const quint16 c = u16(data, p);
        if (c == 0)
            break;
        text.append(QChar(c));
    }
    return text;
}

const struct {
    const char* key;
    const char* label;
} kVersionKeys[] = {
    {"CompanyName", "Company: "},
    {"FileDescription", "File description: "},
    {"FileVersion", "File version: "},
    {"InternalName", "Internal name: "},
    {"LegalCopyright", "Copyright: "},
    {"LegalTrademarks", "Trademarks: "},
    {"OriginalFilename", "Original filename: "},
    {"PrivateBuild", "Private build info: "},
    {"ProductName", "Product name: "},
    {"ProductVersion", "Product version: "},
    {"SpecialBuild", "Special build info: "},
};

} // namespace

VersionResource readVersionResource(const ByteReader& read) {
    VersionResource resource;
    const QByteArray data = versionBytes(read);
    if (data.isEmpty())
        return resource;
    const QList<Block> roots = blocksIn(data, 0, data.size());
    if (roots.isEmpty() || roots.first().key != QLatin1String("VS_VERSION_INFO"))
        return resource;
    resource.found = true;
    for (const Block& info : blocksIn(data, roots.first().childrenStart, roots.first().end)) {
        if (info.key == QLatin1String("StringFileInfo")) {
            for (const Block& table : blocksIn(data, info.childrenStart, info.end)) {
                const QString prefix =
                    QStringLiteral("\\StringFileInfo\\%1\\").arg(table.key.toUpper());
                for (const Block& s : blocksIn(data, table.childrenStart, table.end))
                    resource.strings.insert(prefix + s.key, textValue(data, s));
            }
        } else if (info.key == QLatin1String("VarFileInfo")) {
            for (const Block& var : blocksIn(data, info.childrenStart, info.end)) {
                if (var.key == QLatin1String("Translation") && var.valueEnd - var.valueStart >= 4 &&
                    !resource.hasTranslation) {
                    resource.hasTranslation = true;
                    resource.language = u16(data, var.valueStart);
                    resource.codePage = u16(data, var.valueStart + 2);
                }
            }
        }
    }
    return resource;
}

QString versionString(const VersionResource& resource, const QString& key) {
    const QString table = QStringLiteral("%1%2")
                              .arg(resource.language, 4, 16, QLatin1Char('0'))
                              .arg(resource.codePage, 4, 16, QLatin1Char('0'))
                              .toUpper();
    return resource.strings.value(QStringLiteral("\\StringFileInfo\\%1\\%2").arg(table, key));
}

QStringList versionInfoLines(const VersionResource& resource, bool separated) {
    QStringList lines;
    if (!resource.found || !resource.hasTranslation)
        return lines;
    const QString separator = separated ? QStringLiteral("\t") : QString();
    for (const auto& k : kVersionKeys) {
        const QString label = QLatin1String(k.label);
        QString value = versionString(resource, QLatin1String(k.key));
        qsizetype blanks = 0;
        while (blanks < value.size() && value.at(blanks) == QLatin1Char(' '))
            ++blanks;
        value.remove(0, blanks);
        const QString gap =
            label == QLatin1String("Copyright: ") ? separator + separator : separator;
        lines.append(label + gap + value);
    }
    return lines;
}

QStringList versionInfoLines(const QString& path, bool separated) {
    ViewedFile file;
    if (!file.open(path) || file.size() < 64)
        return QStringList();
    const VersionResource resource = readVersionResource(
        [&file](qint64 offset, qint64 length) { return file.read(offset, length); });
    return versionInfoLines(resource, separated);
}

} // namespace browse
