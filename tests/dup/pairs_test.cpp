#include "app/filetime.h"
#include "app/format.h"
#include "dup/dupsearch.h"
#include "dup/pairs.h"
#include "platform/filesync.h"
#include "support/pefile.h"
#include "support/sandbox.h"

#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace dups;

namespace {

// The cells two rows must share, straight from the criterion texts.
QList<int> modelColumns(Criterion c) {
    switch (c) {
    case FilenameOnly:
        return {dcFilename};
    case FilenameAndSize:
        return {dcFilename, dcSize};
    case FilenameSizeDateTime:
        return {dcFilename, dcSize, dcModified, dcTime};
    case SizeOnly:
        return {dcSize};
    case SizeDateTime:
        return {dcSize, dcModified, dcTime};
    case SizeAndType:
        return {dcSize, dcType};
    case TypeDateTime:
        return {dcType, dcModified, dcTime};
    }
    return {};
}

bool modelMatches(const TextGrid& g, int r, Criterion c) {
    for (int col : modelColumns(c)) {
        const QString a = g.cell(col, r), b = g.cell(col, r + 1);
        if (col == dcFilename ? a.toUpper() != b.toUpper() : a != b)
            return false;
    }
    return true;
}

TextGrid gridOf(const QList<QStringList>& rows) {
    TextGrid g(columnCount(Mode::Duplicates));
    g.setHeader(gridHeaders(Mode::Duplicates));
    for (const QStringList& r : rows)
        g.appendRow(r);
    return g;
}

QStringList row(const QString& name, const QString& size = "1", const QString& type = "T") {
    return {name, size, "01/02/2024", "10:00:00", "01/02/2024", "/c", type};
}

} // namespace

TEST(PairMatching, AgreesWithThePlainModelOnRandomRows) {
    // Few values per cell, so that every combination of equal and different cells turns up;
    // names differ in case only at times, and types in case too (which does count).
    QRandomGenerator gen(7);
    const QStringList names{"a.txt", "A.TXT", "b.txt"}, types{"Text", "TEXT", "Doc"};
    QList<QStringList> rows;
    for (int i = 0; i < 400; ++i)
        rows << QStringList{names[int(gen.bounded(3))],
                            QString::number(gen.bounded(2)),
                            QStringLiteral("0%1/01/2024").arg(gen.bounded(2) + 1),
                            QStringLiteral("10:0%1:00").arg(gen.bounded(2)),
                            QStringLiteral("0%1/03/2024").arg(gen.bounded(3) + 1),
                            QStringLiteral("/c/%1").arg(gen.bounded(2)),
                            types[int(gen.bounded(3))]};
    const TextGrid g = gridOf(rows);
    for (int c = 0; c < kCriterionCount; ++c) {
        int matches = 0;
        for (int r = 1; r < g.rowCount() - 1; ++r) {
            ASSERT_EQ(pairMatches(g, r, Criterion(c)), modelMatches(g, r, Criterion(c)))
                << "criterion " << c << " row " << r;
            matches += modelMatches(g, r, Criterion(c));
        }
        EXPECT_GT(matches, 0) << c;
        EXPECT_LT(matches, g.rowCount() - 2) << c;
        // The header and the row past the last have no pair.
        EXPECT_FALSE(pairMatches(g, 0, Criterion(c)));
        EXPECT_FALSE(pairMatches(g, g.rowCount() - 1, Criterion(c)));
    }
}

TEST(PairStepping, NextAndPrevSkipRowsThatDoNotMatchAndStopAtTheEnds) {
    // Rows 1-2 a pair, 3 and 4 alone, 5-7 a group of three, 8 alone, 9-10 a pair.
    const TextGrid g = gridOf({row("a"), row("A"), row("b"), row("c"), row("d"), row("d"), row("D"),
                               row("e"), row("f"), row("f")});
    const Criterion c = FilenameOnly;
    // From row 5 the next pair is 6 and 7; then 8 does not pair with 9, but 9 with 10.
    EXPECT_EQ(nextPairRow(g, 5, c), 6);
    EXPECT_EQ(nextPairRow(g, 6, c), 9);
    EXPECT_EQ(nextPairRow(g, 2, c), 5);
    // The next-to-last and the last row: nothing.
    EXPECT_EQ(nextPairRow(g, 9, c), std::nullopt);
    EXPECT_EQ(nextPairRow(g, 10, c), std::nullopt);

    EXPECT_EQ(prevPairRow(g, 9, c), 6);
    EXPECT_EQ(prevPairRow(g, 5, c), 1);
    EXPECT_EQ(prevPairRow(g, 1, c), std::nullopt);
    EXPECT_EQ(prevPairRow(g, 0, c), std::nullopt);

    // No pair ahead: Next stops on the last row, Prev on row 1.
    const TextGrid alone = gridOf({row("a"), row("b"), row("c"), row("d")});
    EXPECT_EQ(nextPairRow(alone, 1, c), 4);
    EXPECT_EQ(prevPairRow(alone, 4, c), 1);
    // Another criterion pairs other rows: by size, rows 2 and 3 here.
    const TextGrid sized = gridOf({row("a", "1"), row("b", "2"), row("c", "2"), row("d", "3")});
    EXPECT_EQ(nextPairRow(sized, 1, SizeOnly), 2);
    EXPECT_EQ(nextPairRow(sized, 1, FilenameOnly), 4);
}

TEST(PairSides, ArrowsPointToTheLaterValueAndVersionLinesDifferByPosition) {
    EXPECT_EQ(arrowBetween(5, 3), Arrow::Left);
    EXPECT_EQ(arrowBetween(3, 5), Arrow::Right);
    EXPECT_EQ(arrowBetween(4, 4), Arrow::Equal);
    EXPECT_EQ(arrowBetween(0, 4), Arrow::None);
    EXPECT_EQ(arrowBetween(4, 0), Arrow::None);

    const QStringList a{"Company: X", "Version: 1", "Name: a"}, b{"Company: X", "Version: 2"};
    EXPECT_FALSE(versionLineDiffers(a, b, 0));
    EXPECT_TRUE(versionLineDiffers(a, b, 1));
    EXPECT_TRUE(versionLineDiffers(a, b, 2)); // the other list has no third line
    EXPECT_TRUE(versionLineDiffers(b, a, 1));
    // A single line (no version resource) is never highlighted, nor the lines facing it.
    EXPECT_FALSE(versionLineDiffers({noVersionLine()}, a, 0));
    EXPECT_FALSE(versionLineDiffers(a, {noVersionLine()}, 0));
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
    EXPECT_EQ(side.path, path);
    EXPECT_EQ(side.sizeBytes, "1,234 bytes");
    EXPECT_EQ(side.type, "Text Document");
    EXPECT_EQ(side.versionLines, QStringList{"Extended profile absent"});
    EXPECT_EQ(side.attributes, " Archive");
    // Modified and accessed at the moment set, to the two seconds of the packed form.
    const QDateTime local = QDateTime::fromSecsSinceEpoch(1700000000);
    EXPECT_EQ(side.modified, filetime::packDos(local));
    EXPECT_EQ(side.accessDay, local.date().toJulianDay());
    EXPECT_TRUE(side.modify.startsWith(SafeDateToStr(local) + " ")) << side.modify.toStdString();
    EXPECT_TRUE(side.modify.endsWith("  Today")) << side.modify.toStdString();
    EXPECT_EQ(side.access, SafeDateToStr(local) + "  Today");
    // The birth time, where the file system records one.
    if (side.created == 0)
        EXPECT_EQ(side.create, "???");
    else
        EXPECT_TRUE(side.create.startsWith(SafeDateToStr(filetime::unpackDos(side.created)) + " "));

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
    const QString a = world.makeFile("c/a.bin", "hello world");
    const QString b = world.makeFile("c/b.bin", "hello world");
    const QString c = world.makeFile("c/c.bin", "hello worle");
    const ChecksumResult ra = fileChecksum(a), rb = fileChecksum(b), rc = fileChecksum(c);
    ASSERT_TRUE(ra.ok && rb.ok && rc.ok);
    EXPECT_EQ(ra.value, 0x0D4A1185u); // the CRC-32 of "hello world"
    const ChecksumTexts same = checksumTexts(ra.value, rb.value);
    EXPECT_EQ(same.left, " D4A1185 file contents are identical");
    EXPECT_EQ(same.right, same.left);
    const ChecksumTexts differ = checksumTexts(ra.value, rc.value);
    EXPECT_EQ(differ.left, " D4A1185 file contents differ");
    EXPECT_TRUE(differ.right.endsWith(" file contents differ"));
    EXPECT_NE(differ.right, differ.left);

    // Empty files have the checksum of no bytes; a file that cannot be read says so.
    const ChecksumResult empty = fileChecksum(world.makeFile("c/empty"));
    ASSERT_TRUE(empty.ok);
    EXPECT_EQ(checksumTexts(empty.value, 0).left, "       0 file contents are identical");
    const ChecksumResult missing = fileChecksum(world.path("c/none"));
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.message, "Could not open file " + world.path("c/none"));
}
