#include "app/filetime.h"
#include "app/format.h"
#include "dup/dupsearch.h"
#include "dup/foundlist.h"
#include "dup/pairs.h"
#include "platform/filesync.h"
#include "support/pefile.h"
#include "support/sandbox.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace dups;

namespace {

TextGrid gridOf(const QList<QStringList>& rows, const QList<quint32>& groups) {
    TextGrid g(columnCount(Mode::Duplicates));
    g.setHeader(gridHeaders(Mode::Duplicates));
    for (qsizetype i = 0; i < rows.size(); ++i)
        g.setGroup(g.appendRow(rows[i]), groups.value(i));
    return g;
}

QStringList row(const QString& name) {
    return {name, "1", "01/02/2024", "10:00:00", "01/02/2024", "/c", "T"};
}

} // namespace

TEST(PairMatching, FollowsTheGroupsOfTheSearchNotTheCellTexts) {
    // Names that upper-case alike but are different names ignoring case: the search makes two
    // groups of them, and no pair joins the two.
    for (const auto& [one, other] :
         {std::pair(QStringLiteral("strasse.txt"), QStringLiteral("stra\u00dfe.txt")),
          std::pair(QStringLiteral("file.txt"), QStringLiteral("f\u0131le.txt"))}) {
        FoundList list(Mode::Duplicates, FilenameOnly);
        platform::DirEntry entry;
        entry.size = 5;
        for (const QString& name : {one, other}) {
            for (const QString& folder : {QStringLiteral("/w/a"), QStringLiteral("/w/b")}) {
                entry.name = name;
                ++entry.inode;
                list.add(folder, entry);
            }
        }
        TextGrid g(columnCount(Mode::Duplicates));
        ASSERT_EQ(list.moveToGrid(g), 4);
        EXPECT_EQ(g.cell(dcFilename, 2), one);
        EXPECT_EQ(g.cell(dcFilename, 3), other);
        EXPECT_TRUE(pairMatches(g, 1));
        EXPECT_FALSE(pairMatches(g, 2)) << one.toStdString();
        EXPECT_TRUE(pairMatches(g, 3));
        EXPECT_FALSE(pairMatches(g, 4));
        EXPECT_EQ(nextPairRow(g, 1), 3);
        EXPECT_EQ(prevPairRow(g, 3), 1);
    }
    // Rows of equal texts in different groups, or in none, are no pair.
    const TextGrid g = gridOf({row("a"), row("a"), row("a"), row("a")}, {1, 2, 0, 0});
    for (int r = 1; r <= 4; ++r)
        EXPECT_FALSE(pairMatches(g, r)) << r;
}

TEST(PairStepping, NextAndPrevSkipRowsThatDoNotMatchAndStopAtTheEnds) {
    // Rows 1-2 a pair, 3 and 4 alone, 5-7 a group of three, 8 alone, 9-10 a pair.
    const TextGrid g = gridOf({row("a"), row("A"), row("b"), row("c"), row("d"), row("d"), row("D"),
                               row("e"), row("f"), row("f")},
                              {1, 1, 0, 0, 2, 2, 2, 0, 3, 3});
    // From row 5 the next pair is 6 and 7; then 8 does not pair with 9, but 9 with 10.
    EXPECT_EQ(nextPairRow(g, 5), 6);
    EXPECT_EQ(nextPairRow(g, 6), 9);
    EXPECT_EQ(nextPairRow(g, 2), 5);
    // The next-to-last and the last row: nothing.
    EXPECT_EQ(nextPairRow(g, 9), std::nullopt);
    EXPECT_EQ(nextPairRow(g, 10), std::nullopt);

    EXPECT_EQ(prevPairRow(g, 9), 6);
    EXPECT_EQ(prevPairRow(g, 5), 1);
    EXPECT_EQ(prevPairRow(g, 1), std::nullopt);

    // No pair ahead: Next stops on the last row, Prev on row 1.
    const TextGrid alone = gridOf({row("a"), row("b"), row("c"), row("d")}, {});
    EXPECT_EQ(nextPairRow(alone, 1), 4);
    EXPECT_EQ(prevPairRow(alone, 4), 1);
}

TEST(PairSides, VersionLinesDifferByPositionUnlessEitherListIsASingleLine) {
    const QStringList a{"Company: X", "Version: 1", "Name: a"}, b{"Company: X", "Version: 2"};
    EXPECT_FALSE(versionLineDiffers(a, b, 0));
    EXPECT_TRUE(versionLineDiffers(a, b, 1));
    EXPECT_TRUE(versionLineDiffers(a, b, 2)); // the other list has no third line
    EXPECT_FALSE(versionLineDiffers(a, {noVersionLine()}, 1));
}

class PairFiles : public ::testing::Test {
protected:
    void SetUp() override {
        world.useRegistry("REGEDIT4\n"
                          "[HKEY_CLASSES_ROOT\\.txt]\n@=\"txtfile\"\n"
                          "[HKEY_CLASSES_ROOT\\txtfile]\n@=\"Text Document\"\n");
    }
    SandboxWorld world;
};

TEST_F(PairFiles, ASideShowsItsFileAndNothingOnceTheFileIsGone) {
    const QString path = world.makeFile("c/a/notes.txt", QByteArray(1234, 'n'));
    ASSERT_TRUE(platform::setFileTimes(path, 1700000000));
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1700000000 + 3600);
    const PairSide side = readPairSide(world.path("c/a"), "notes.txt", now);
    ASSERT_TRUE(side.found);
    EXPECT_EQ(side.sizeBytes, "1,234 bytes");
    EXPECT_EQ(side.type, "Text Document");
    EXPECT_EQ(side.versionLines, QStringList{"Extended profile absent"});
    // Modified and accessed at the moment set, to the two seconds of the packed form.
    const QDateTime local = QDateTime::fromSecsSinceEpoch(1700000000);
    EXPECT_EQ(side.modified, filetime::packDos(local));
    EXPECT_EQ(side.accessDay, local.date().toJulianDay());
    EXPECT_TRUE(side.modify.startsWith(SafeDateToStr(local) + " ")) << side.modify.toStdString();
    EXPECT_EQ(side.access, SafeDateToStr(local) + "  Today");

    QFile::remove(path);
    const PairSide gone = readPairSide(world.path("c/a"), "notes.txt", now);
    EXPECT_FALSE(gone.found);
    EXPECT_EQ(gone.name, "notes.txt");
    EXPECT_TRUE(gone.sizeBytes.isEmpty() && gone.modify.isEmpty() && gone.versionLines.isEmpty());
    EXPECT_EQ(gone.modified, 0u);
}

TEST_F(PairFiles, AProgramFileShowsItsVersionLinesWithoutSeparators) {
    world.makeFile("c/tool.exe", pefile::programFile());
    const PairSide side = readPairSide(world.path("c"), "tool.exe", QDateTime::currentDateTime());
    ASSERT_GT(side.versionLines.size(), 1);
    EXPECT_TRUE(side.versionLines.contains("Company: Vastel Test Company"))
        << side.versionLines.join('|').toStdString();
}

TEST_F(PairFiles, ChecksumsTellIdenticalFromDifferentContents) {
    const ChecksumResult a = fileChecksum(world.makeFile("c/a.bin", "hello world"));
    const ChecksumResult b = fileChecksum(world.makeFile("c/b.bin", "hello world"));
    const ChecksumResult c = fileChecksum(world.makeFile("c/c.bin", "hello worle"));
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(a.value(), 0x0D4A1185u); // the CRC-32 of "hello world"
    EXPECT_EQ(checksumTexts(a.value(), b.value(), true).right,
              " D4A1185 file contents are identical");
    EXPECT_EQ(checksumTexts(a.value(), c.value(), true).left, " D4A1185 file contents differ");

    // Empty files have the checksum of no bytes; a file that cannot be read says so.
    const ChecksumResult empty = fileChecksum(world.makeFile("c/empty"));
    ASSERT_TRUE(empty);
    EXPECT_EQ(checksumTexts(empty.value(), 0, true).left, "       0 file contents are identical");
    const ChecksumResult none = fileChecksum(world.path("c/none"));
    EXPECT_FALSE(none);
    EXPECT_EQ(none.message(), "Could not open file " + world.path("c/none"));
}
