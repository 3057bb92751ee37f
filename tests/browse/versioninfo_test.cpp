#include "browse/versioninfo.h"
#include "support/pefile.h"
#include "support/sandbox.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

QStringList linesOf(const QByteArray& bytes, bool separated = true) {
    const browse::VersionResource resource =
        browse::readVersionResource([&bytes](qint64 offset, qint64 length) {
            return offset < 0 || offset > bytes.size() ? QByteArray() : bytes.mid(offset, length);
        });
    return browse::versionInfoLines(resource, separated);
}

const QStringList kExpected = {
    "Company: \tVastel Test Company",  "File description: \tSample program",
    "File version: \t1.2.3.4",         "Internal name: \t",
    "Copyright: \t\t(c) 2026 Nobody",  "Trademarks: \t",
    "Original filename: \tsample.exe", "Private build info: \t",
    "Product name: \tSample",          "Product version: \t1.2",
    "Special build info: \t",
};

} // namespace

TEST(VersionInfo, ReadsTheLinesOfAProgramFile) {
    SandboxWorld world;
    const QByteArray program = pefile::programFile();
    const QString path = world.makeFile("c/sample.exe", program);
    EXPECT_EQ(browse::versionInfoLines(path, true), kExpected);
    const QStringList plain = browse::versionInfoLines(path, false);
    ASSERT_EQ(plain.size(), 11);
    EXPECT_EQ(plain[0], "Company: Vastel Test Company");
    EXPECT_EQ(plain[4], "Copyright: (c) 2026 Nobody");
    // Files that are no programs have no lines.
    EXPECT_TRUE(
        browse::versionInfoLines(world.makeFile("c/a.txt", "MZ but text\n"), true).isEmpty());
    EXPECT_TRUE(browse::versionInfoLines(world.makeFile("c/empty"), true).isEmpty());
    EXPECT_TRUE(browse::versionInfoLines(world.path("c/missing.exe"), true).isEmpty());
}

// Cut anywhere, the file gives no lines.
TEST(VersionInfo, TruncatedCopiesGiveNoLines) {
    const QByteArray program = pefile::programFile();
    ASSERT_EQ(linesOf(program), kExpected);
    for (int length = 0; length < program.size(); ++length)
        ASSERT_TRUE(linesOf(program.left(length)).isEmpty()) << length;
}

// Each part the reader relies on, broken, gives no lines.
TEST(VersionInfo, CorruptedCopiesGiveNoLines) {
    pefile::Offsets o;
    const QByteArray program = pefile::programFile(&o);
    const auto broken = [&program](auto change) {
        QByteArray copy = program;
        change(copy);
        return linesOf(copy);
    };
    using pefile::put16;
    using pefile::put32;
    const QList<std::function<void(QByteArray&)>> changes = {
        [](QByteArray& b) { b[1] = 'X'; },                                  // no MZ
        [](QByteArray& b) { put32(b, 0x3C, 0xFFFFFF00u); },                 // PE header outside
        [&](QByteArray& b) { b[o.peHeader + 1] = 'X'; },                    // no PE signature
        [&](QByteArray& b) { put16(b, o.optionalHeader, 0x999); },          // unknown magic
        [&](QByteArray& b) { put32(b, o.optionalHeader + 92, 2); },         // no resource entry
        [&](QByteArray& b) { put32(b, o.resourceDirectoryEntry + 4, 0); },  // no resources
        [&](QByteArray& b) { put32(b, o.resourceDirectoryEntry, 0x9000); }, // outside sections
        [&](QByteArray& b) { put32(b, o.typeEntry, 3); },                   // icons, no version
        [&](QByteArray& b) { put32(b, o.typeEntry + 4, 0x18); },            // data, no folder
        [&](QByteArray& b) { put32(b, o.typeEntry + 4, 0x8000FFF0u); },     // folder outside
        [&](QByteArray& b) { put16(b, o.section + 0x0E, 0xFFFF); },         // too many entries
        [&](QByteArray& b) { put32(b, o.dataEntry + 4, 0x7FFFFFFF); },      // data too long
        [&](QByteArray& b) { put32(b, o.dataEntry, 0x5000); },              // data outside
        [&](QByteArray& b) { b[o.version + 6] = 'X'; },                     // not VS_VERSION_INFO
        [&](QByteArray& b) { put16(b, o.version, 0xFFF0); },                // longer than data
        [&](QByteArray& b) { b[o.translationKey] = 'X'; },                  // no translation
    };
    for (int i = 0; i < changes.size(); ++i)
        EXPECT_TRUE(broken(changes[i]).isEmpty()) << i;
}

// Whatever byte is changed, the reader neither faults nor reads outside the file (each read
// is checked by the reader given to it).
TEST(VersionInfo, DamagedBytesNeverFault) {
    const QByteArray program = pefile::programFile();
    QRandomGenerator random(7);
    for (int round = 0; round < 4000; ++round) {
        QByteArray copy = program;
        const int changes = 1 + random.bounded(4);
        for (int c = 0; c < changes; ++c)
            copy[random.bounded(int(copy.size()))] = char(random.bounded(256));
        const browse::VersionResource resource =
            browse::readVersionResource([&copy](qint64 offset, qint64 length) {
                EXPECT_GE(offset, 0);
                EXPECT_GT(length, 0);
                return offset + length > copy.size() ? QByteArray() : copy.mid(offset, length);
            });
        EXPECT_LE(resource.strings.size(), 7);
    }
}
