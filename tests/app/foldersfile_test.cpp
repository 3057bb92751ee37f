// The folders.txt file.
#include "app/foldersfile.h"
#include "app/protection.h"
#include "support/entrybuilders.h"
#include "support/sandbox.h"
#include "support/timelimit.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(FoldersFile, WritesCrLfLinesAndReadsEitherLineEnd) {
    SandboxWorld world;
    world.setEnv("VASTEL_DATA_DIR", world.path("fresh/data"));
    EXPECT_EQ(foldersFilePath(), world.path("fresh/data/folders.txt"));
    EXPECT_FALSE(foldersFileExists());
    const Result<QStringList> missing = readFoldersFile();
    ASSERT_TRUE(missing.ok()); // a list never built is no failure
    EXPECT_TRUE(missing.value().isEmpty());

    const QStringList folders = {"/etc/", "/home/u/My Programs/", "/opt/caf\u00e9/"};
    ASSERT_TRUE(writeFoldersFile(folders));
    EXPECT_TRUE(foldersFileExists());
    EXPECT_EQ(SandboxWorld::readBytes(foldersFilePath()),
              QByteArray("/etc/\r\n/home/u/My Programs/\r\n/opt/caf\xc3\xa9/\r\n"));
    EXPECT_EQ(readFoldersFile().value(), folders);

    // Written by hand: LF ends, blank lines, no end on the last line.
    world.makeFile("fresh/data/folders.txt", "/a/\n\n/b/\r\n\r\n/c/");
    EXPECT_EQ(readFoldersFile().value(), QStringList({"/a/", "/b/", "/c/"}));

    // A shorter list replaces the file whole.
    ASSERT_TRUE(writeFoldersFile({"/only/"}));
    EXPECT_EQ(SandboxWorld::readBytes(foldersFilePath()), QByteArray("/only/\r\n"));
}

TEST(FoldersFile, EmptyListDeletesTheFile) {
    SandboxWorld world;
    ASSERT_TRUE(writeFoldersFile({"/etc/"}));
    ASSERT_TRUE(foldersFileExists());
    EXPECT_TRUE(writeFoldersFile({}));
    EXPECT_FALSE(foldersFileExists());
    EXPECT_FALSE(QFile::exists(foldersFilePath()));
    EXPECT_TRUE(writeFoldersFile({})); // nothing to delete is no failure
}

TEST(FoldersFile, AFifoIsRefusedAtOnceAndProtectsNothing) {
    SandboxWorld world;
    ASSERT_TRUE(scantest::makeFifo(foldersFilePath()));
    EXPECT_TRUE(finishesInTime([] {
        const Result<QStringList> lines = readFoldersFile();
        ProtectedFolders folders;
        folders.buildFromWorld();
        return !lines.ok() && lines.message() == "not a regular file" &&
               folders.listProblem().endsWith(") cannot be read: not a regular file");
    }));
}

TEST(FoldersFile, LinesNamingNoFolderAreKeptAsWrittenAndWarnedAbout) {
    SandboxWorld world;
    const QString real = world.makeDir("c/keep");
    const QString file = world.makeFile("c/plain.txt", "x");
    world.makeFile("data/folders.txt", ("  " + real + "/ \r\n" + real + "/\r\n" + file + "\r\n" +
                                        world.path("c/gone/") + "\r\n")
                                           .toUtf8());
    const QStringList lines = readFoldersFile().value();
    // The blanks belong to the line: nothing is trimmed away.
    ASSERT_EQ(lines, QStringList({"  " + real + "/ ", real + "/", file, world.path("c/gone/")}));

    const QStringList warnings = missingFolderWarnings(lines);
    ASSERT_EQ(warnings.size(), 3);
    EXPECT_EQ(warnings[0], "The folder \"  " + real + "/ \" of the non-delete list (" +
                               foldersFilePath() +
                               ") does not exist, so it protects nothing.  The line has blanks "
                               "before or after the name \"" +
                               real + "/\".");
    EXPECT_TRUE(warnings[1].startsWith("The folder \"" + file + "\" of the non-delete list"));
    EXPECT_TRUE(warnings[2].endsWith("does not exist, so it protects nothing."));
    EXPECT_TRUE(missingFolderWarnings({real, real + "/", "/"}).isEmpty());
}
