#include "browse/strings.h"
#include "platform/tempfile.h"
#include "support/entrybuilders.h"
#include "support/sandbox.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QList<QByteArray> stringsOf(const QByteArray& bytes) {
    browse::StringExtractor extractor;
    QList<QByteArray> lines;
    for (qsizetype at = 0; at < bytes.size(); at += browse::kStringsBlock)
        extractor.scanBlock(bytes.constData() + at,
                            std::min<qsizetype>(browse::kStringsBlock, bytes.size() - at), &lines);
    return lines;
}

} // namespace

TEST(Strings, RunsOfLettersDigitsAndBlanks) {
    EXPECT_EQ(stringsOf(QByteArray("Hello world\0", 12)), QList<QByteArray>{"Hello world"});
    EXPECT_TRUE(stringsOf(QByteArray("Hello\0", 6)).isEmpty());
    EXPECT_EQ(stringsOf(QByteArray("Hello!\0", 7)), QList<QByteArray>{});
    EXPECT_EQ(stringsOf("abc.defghij."), QList<QByteArray>{"defghij"});
    // The same string twice in a row is written once; again after another one, again.
    EXPECT_EQ(stringsOf("string1.string1.other22.string1."),
              (QList<QByteArray>{"string1", "other22", "string1"}));
    // A run still open at the end of a block, or of the file, is dropped.
    QByteArray straddling(browse::kStringsBlock - 4, '\0');
    straddling += "abcdefgh.";
    EXPECT_TRUE(stringsOf(straddling).isEmpty());
    EXPECT_TRUE(stringsOf("no end here").isEmpty());
}

TEST(Strings, LongRunsGoOutInPieces) {
    const QByteArray run(250, 'x');
    const QList<QByteArray> lines = stringsOf("." + run + ".");
    // 101 + 101 + 48, and the second piece equals the first: written once.
    EXPECT_EQ(lines, (QList<QByteArray>{QByteArray(101, 'x'), QByteArray(48, 'x')}));
    EXPECT_EQ(stringsOf("." + QByteArray(103, 'y') + "."), QList<QByteArray>{QByteArray(101, 'y')});
}

TEST(Strings, FileToFileAndTheTemporaryFile) {
    SandboxWorld world;
    world.setEnv("TMPDIR", world.makeDir("tmp"));
    QString error;
    const QString target = platform::createTemporaryFile("str", &error);
    ASSERT_FALSE(target.isEmpty()) << qPrintable(error);
    EXPECT_TRUE(target.startsWith(world.path("tmp/str")));
    struct stat st {};
    ASSERT_EQ(::stat(target.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_NE(platform::createTemporaryFile("str", &error), target);

    const QString source =
        world.makeFile("c/prog.bin", QByteArray("\x01\x02Version 1 2 3\0\0xyz", 20));
    EXPECT_TRUE(browse::extractStrings(source, target).ok());
    EXPECT_EQ(SandboxWorld::readBytes(target), "Version 1 2 3\n");

    const Result<> missing = browse::extractStrings(world.path("c/none"), target);
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.message(), "Could not open file " + world.path("c/none"));
    ASSERT_TRUE(scantest::makeFifo(world.path("c/fifo")));
    EXPECT_FALSE(browse::extractStrings(world.path("c/fifo"), target).ok());

    world.setEnv("TMPDIR", world.path("no-such-folder"));
    EXPECT_EQ(platform::temporaryFolder(), "/tmp");
}
