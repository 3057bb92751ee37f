#include "delete/unzip.h"
#include "support/sandbox.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

// The names the unzip window lists, against a plain reading of "Drive*.zip" ignoring case.
TEST(UnzipArchiveList, NamesMatchDriveStarZipIgnoringCase) {
    const QStringList pieces = {"Drive", "drive", "DRIVE", "Driv", "-C-", "x", ".zip",
                                ".ZIP",  ".Zip",  "zip",   ".",    "-2",  "e"};
    QRandomGenerator random(17);
    for (int i = 0; i < 5000; ++i) {
        QString name;
        const int parts = 1 + int(random.bounded(4));
        for (int k = 0; k < parts; ++k)
            name += pieces[int(random.bounded(pieces.size()))];
        const QString folded = name.toLower();
        const bool expected = folded.size() >= 9 && folded.startsWith(QLatin1String("drive")) &&
                              folded.endsWith(QLatin1String(".zip"));
        ASSERT_EQ(unzip::isArchiveName(name), expected) << name.toStdString();
    }
}

TEST(UnzipArchiveList, RegularFilesOfTheFolderSortedIgnoringCase) {
    SandboxWorld world;
    const QString zips = world.makeDir("zips");
    for (const char* name :
         {"Drive-D-Temp08Dec261530.zip", "drive-c-lower.ZIP", "Drive-C-Duplicates08Dec261530-2.zip",
          "Drive.zip", "notes.zip", "MyDrive-C-x.zip", "Drive-C-x.zip.bak", "Drive-C-x.zipx"})
        world.makeFile(QStringLiteral("zips/") + name, "x");
    // Neither a folder nor a link is an archive file, whatever its name.
    world.makeDir("zips/Drive-E-folder.zip");
    ASSERT_TRUE(QFile::link(zips + "/notes.zip", zips + "/Drive-F-link.zip"));

    EXPECT_EQ(unzip::archiveFiles(zips),
              QStringList({"Drive-C-Duplicates08Dec261530-2.zip", "drive-c-lower.ZIP",
                           "Drive-D-Temp08Dec261530.zip", "Drive.zip"}));
    EXPECT_TRUE(unzip::archiveFiles(world.path("no such folder")).isEmpty());
}

TEST(UnzipTexts, TheEndOfAnExtractionSaysHowManyFilesCameBack) {
    zip::ZipReader::ExtractResult all;
    all.extracted = 4;
    EXPECT_EQ(unzip::unzippedText(all), "Files were unzipped");
    zip::ZipReader::ExtractResult some;
    some.extracted = 3;
    some.failed = 2;
    EXPECT_EQ(unzip::unzippedText(some), "3 of 5 files were unzipped; 2 could not be unzipped");
    zip::ZipReader::ExtractResult none;
    none.failed = 1;
    EXPECT_EQ(unzip::unzippedText(none), "0 of 1 files were unzipped; 1 could not be unzipped");
}
