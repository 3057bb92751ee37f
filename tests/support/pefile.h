#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QtEndian>

// A small Windows program file (PE32) made byte by byte for the tests: headers, one ".rsrc"
// section holding a resource directory with one RT_VERSION entry, and its VS_VERSIONINFO with a
// string table and a translation.  The version data is the last thing in the file, so that
// cutting the file anywhere loses part of what a reader needs.
namespace pefile {

struct Offsets {
    int peHeader = 0x40;
    int optionalHeader = 0x40 + 24;
    int resourceDirectoryEntry = 0; // of the data directory's resource entry
    int section = 0x200;            // the resource section in the file
    int typeEntry = 0;              // the root directory's entry for RT_VERSION
    int dataEntry = 0;              // the IMAGE_RESOURCE_DATA_ENTRY
    int version = 0;                // the VS_VERSIONINFO
    int translationKey = 0;         // "Translation" in the file
};

inline void put16(QByteArray& b, int at, quint16 v) {
    qToLittleEndian<quint16>(v, b.data() + at);
}
inline void put32(QByteArray& b, int at, quint32 v) {
    qToLittleEndian<quint32>(v, b.data() + at);
}
inline void padTo4(QByteArray& b) {
    while (b.size() % 4)
        b.append('\0');
}
inline QByteArray utf16z(const QString& text) {
    QByteArray b;
    for (QChar c : text) {
        b.append(char(c.unicode() & 0xFF));
        b.append(char(c.unicode() >> 8));
    }
    b.append(2, '\0');
    return b;
}

// One node of the version tree: wLength, wValueLength, wType, the key, its value, its children.
inline QByteArray versionBlock(const QString& key, quint16 type, const QByteArray& value,
                               quint16 valueLength, const QList<QByteArray>& children) {
    QByteArray b(6, '\0');
    b += utf16z(key);
    padTo4(b);
    b += value;
    for (const QByteArray& child : children) {
        padTo4(b);
        b += child;
    }
    put16(b, 0, quint16(b.size()));
    put16(b, 2, valueLength);
    put16(b, 4, type);
    return b;
}

inline QByteArray stringBlock(const QString& key, const QString& value) {
    return versionBlock(key, 1, utf16z(value), quint16(value.size() + 1), {});
}

using Strings = QList<QPair<QString, QString>>;

inline QByteArray versionInfo(const Strings& strings, const QString& table, quint16 language,
                              quint16 codePage) {
    QByteArray fixed(52, '\0');
    put32(fixed, 0, 0xFEEF04BD);
    put32(fixed, 4, 0x00010000);
    QList<QByteArray> entries;
    for (const auto& s : strings)
        entries.append(stringBlock(s.first, s.second));
    const QByteArray stringTable = versionBlock(table, 1, QByteArray(), 0, entries);
    const QByteArray stringInfo = versionBlock("StringFileInfo", 1, QByteArray(), 0, {stringTable});
    QByteArray translation(4, '\0');
    put16(translation, 0, language);
    put16(translation, 2, codePage);
    const QByteArray var = versionBlock("Translation", 0, translation, 4, {});
    const QByteArray varInfo = versionBlock("VarFileInfo", 1, QByteArray(), 0, {var});
    return versionBlock("VS_VERSION_INFO", 0, fixed, 52, {stringInfo, varInfo});
}

inline Strings sampleStrings() {
    return {{"CompanyName", "Vastel Test Company"},
            {"FileDescription", "   Sample program"},
            {"FileVersion", "1.2.3.4"},
            {"LegalCopyright", "(c) 2026 Nobody"},
            {"OriginalFilename", "sample.exe"},
            {"ProductName", "Sample"},
            {"ProductVersion", "1.2"}};
}

// The program file; where its parts lie goes to *offsets.
inline QByteArray programFile(Offsets* offsets = nullptr,
                              const Strings& strings = sampleStrings()) {
    Offsets o;
    const QByteArray version = versionInfo(strings, "040904b0", 0x0409, 0x04B0);
    // Resource section: root, name and language folders, the data entry, the version data.
    QByteArray rsrc(0x58, '\0');
    put16(rsrc, 0x0E, 1);
    put32(rsrc, 0x10, 16);
    put32(rsrc, 0x14, 0x80000000u | 0x18);
    put16(rsrc, 0x18 + 0x0E, 1);
    put32(rsrc, 0x18 + 0x10, 1);
    put32(rsrc, 0x18 + 0x14, 0x80000000u | 0x30);
    put16(rsrc, 0x30 + 0x0E, 1);
    put32(rsrc, 0x30 + 0x10, 0x0409);
    put32(rsrc, 0x30 + 0x14, 0x48);
    put32(rsrc, 0x48, 0x1000 + 0x58);
    put32(rsrc, 0x4C, quint32(version.size()));
    rsrc += version;
    o.typeEntry = o.section + 0x10;
    o.dataEntry = o.section + 0x48;
    o.version = o.section + 0x58;

    QByteArray file(o.section, '\0');
    file[0] = 'M';
    file[1] = 'Z';
    put32(file, 0x3C, quint32(o.peHeader));
    file.replace(o.peHeader, 4, QByteArray("PE\0\0", 4));
    put16(file, o.peHeader + 4, 0x14C);     // i386
    put16(file, o.peHeader + 6, 1);         // one section
    put16(file, o.peHeader + 20, 224);      // optional header size
    put16(file, o.peHeader + 22, 0x0102);   // executable, 32-bit
    put16(file, o.optionalHeader, 0x10B);   // PE32
    put32(file, o.optionalHeader + 92, 16); // data directories
    o.resourceDirectoryEntry = o.optionalHeader + 96 + 2 * 8;
    put32(file, o.resourceDirectoryEntry, 0x1000);
    put32(file, o.resourceDirectoryEntry + 4, quint32(rsrc.size()));
    const int sectionHeader = o.optionalHeader + 224;
    file.replace(sectionHeader, 8, QByteArray(".rsrc\0\0\0", 8));
    put32(file, sectionHeader + 8, quint32(rsrc.size()));
    put32(file, sectionHeader + 12, 0x1000);
    put32(file, sectionHeader + 16, quint32(rsrc.size()));
    put32(file, sectionHeader + 20, quint32(o.section));
    put32(file, sectionHeader + 36, 0x40000040);
    file += rsrc;
    o.translationKey = int(file.indexOf(utf16z("Translation")));
    if (offsets)
        *offsets = o;
    return file;
}

} // namespace pefile
