// Recognising the archives the program wrote, before anything deletes them.
#include "app/inifile.h"
#include "app/zipsettings.h"
#include "delete/ownarchives.h"
#include "support/listedfiles.h"
#include "support/sandbox.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class OwnArchives : public ::testing::Test {
protected:
    void SetUp() override {
        world.setDrives({"C"});
        zips = world.makeDir("c/stash/zips");
        archive1 = world.makeFile("c/stash/zips/Drive-C-Duplicates08Dec261530.zip", "PK1");
        archive2 = world.makeFile("c/stash/zips/Drive-C-FolderClean01Jan251200-2.zip", "PK22");
        other = world.makeFile("c/stash/zips/photos.zip", "PK");
        elsewhere = world.makeFile("c/stash/Drive-C-Duplicates08Dec261530.zip", "PK");
    }
    QString c(const QString& rel) const { return world.path("c/" + rel); }

    SandboxWorld world;
    QString zips, archive1, archive2, other, elsewhere;
};

} // namespace

TEST_F(OwnArchives, AnArchiveIsNamedAfterThePatternAndLiesInAZipFolder) {
    EXPECT_TRUE(ownarchives::isOwnArchive(archive1, {zips}));
    EXPECT_TRUE(ownarchives::isOwnArchive(archive2, {zips}));
    EXPECT_FALSE(ownarchives::isOwnArchive(other, {zips}));     // not the program's name
    EXPECT_FALSE(ownarchives::isOwnArchive(elsewhere, {zips})); // not in the zip folder
    EXPECT_TRUE(ownarchives::isOwnArchive(elsewhere, {zips, c("stash")}));
    // The folder is compared as the folder it is, not as text.
    EXPECT_TRUE(ownarchives::isOwnArchive(archive1, {zips + "/"}));
    EXPECT_TRUE(ownarchives::isOwnArchive(c("stash/../stash/zips/Drive-C-x.zip"), {zips}));
    ASSERT_TRUE(QFile::link(zips, c("link-to-zips")));
    EXPECT_TRUE(ownarchives::isOwnArchive(c("link-to-zips/Drive-C-x.zip"), {zips}));
    // The unzip window's mask ignores letter case; so does this.
    EXPECT_TRUE(ownarchives::isOwnArchive(zips + "/DRIVE-D-TempClean.ZIP", {zips}));
    EXPECT_EQ(ownarchives::archivesAmong({other, archive2, elsewhere, archive1}, {zips}),
              QStringList({archive2, archive1}));
}

TEST_F(OwnArchives, EveryNameTheRunsGiveIsRecognisedInTheirFolder) {
    const QDateTime moment(QDate(2026, 12, 8), QTime(15, 30));
    for (const char* tag :
         {"Duplicates", "FileDates", "TempClean", "InternetCache", "FolderClean", ""}) {
        for (const QString& folder : {zips, QString()}) {
            const QString name =
                makeArchiveName(QString::fromLatin1(tag), QLatin1Char('C'), moment, folder);
            EXPECT_TRUE(ownarchives::isOwnArchive(name, {folder})) << name.toStdString();
        }
    }
    // An empty zip folder stands for the root of drive C, as it does for the runs.
    EXPECT_TRUE(ownarchives::isOwnArchive(c("Drive-C-x.zip"), {QString()}));
    EXPECT_FALSE(ownarchives::isOwnArchive(archive1, {QString()}));
}

TEST_F(OwnArchives, AFolderHoldsTheArchivesOfAZipFolderAtOrBelowIt) {
    EXPECT_EQ(ownarchives::archivesInFolder(zips, {zips}), 2);
    EXPECT_EQ(ownarchives::archivesInFolder(c("stash"), {zips}), 2);
    EXPECT_EQ(ownarchives::archivesInFolder(c(""), {zips}), 2);
    EXPECT_EQ(ownarchives::archivesInFolder(c("stash/"), {zips + "/", zips}), 2); // counted once
    world.makeDir("c/stash/zips-old");
    EXPECT_EQ(ownarchives::archivesInFolder(c("stash/zips-old"), {zips}), 0);
    world.makeDir("c/stash/zips/inner");
    EXPECT_EQ(ownarchives::archivesInFolder(c("stash/zips/inner"), {zips}), 0);
    EXPECT_EQ(ownarchives::archivesInFolder(c("stash"), {c("stash"), zips}), 3);
    // A folder named like an archive is no archive.
    world.makeDir("c/stash/zips/Drive-C-folder.zip");
    EXPECT_EQ(ownarchives::archivesInFolder(zips, {zips}), 2);
}

TEST_F(OwnArchives, TheZipFoldersOfTheWorldAreTheSettingsOneAndTheRunsOwn) {
    EXPECT_EQ(ownarchives::zipFoldersOfWorld(), QStringList({world.path("home")}));
    IniFile ini = settingsFile();
    ASSERT_TRUE(writeZipPath(ini, zips));
    EXPECT_EQ(ownarchives::zipFoldersOfWorld(c("out")), QStringList({zips, c("out")}));
}

TEST_F(OwnArchives, HoldingBackTakesTheArchivesOutAndNamesEach) {
    ListedFiles files = listedNow({other, archive1, elsewhere, archive2});
    QStringList lines;
    const auto warn = [&lines](const QString& line) { lines << line; };
    ListedFiles all = files;
    const ownarchives::HeldBack none = ownarchives::holdBack(all, {zips}, true, warn);
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(all.size(), 4);
    EXPECT_TRUE(lines.isEmpty());

    const ownarchives::HeldBack held = ownarchives::holdBack(files, {zips}, false, warn);
    EXPECT_EQ(held.count, 2);
    EXPECT_EQ(held.bytes, 3 + 4);
    EXPECT_EQ(pathsOf(files), QStringList({other, elsewhere}));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], archive1 + " is an archive Vastel wrote; kept (add --include-archives to "
                                   "dispose of it too)");
    EXPECT_TRUE(lines[1].startsWith(archive2 + " "));
}

TEST(OwnArchivesText, QuestionsNameTheCount) {
    EXPECT_EQ(ownarchives::filesQuestion(1),
              "The files to dispose of include 1 archive that Vastel wrote into its zip folder.  "
              "It may hold the only copies of the files zipped into it.\n\nDispose of this "
              "archive too?  No keeps it.");
    EXPECT_TRUE(ownarchives::filesQuestion(3).startsWith(
        "The files to dispose of include 3 archives that Vastel"));
    EXPECT_EQ(ownarchives::folderQuestion("/home/u/zips", 2),
              "The folder \"/home/u/zips\" holds 2 archives that Vastel wrote into its zip "
              "folder.  They may hold the only copies of the files zipped into them.\n\nDispose "
              "of the folder with these archives?  No keeps them.");
}
