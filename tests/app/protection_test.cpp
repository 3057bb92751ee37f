#include "app/foldersfile.h"
#include "app/protection.h"
#include "platform/fileops.h"
#include "platform/names.h"
#include "support/sandbox.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class Protection : public ::testing::Test {
protected:
    void SetUp() override {
        world.setEnv("VASTEL_WINDOWS_DIR", world.makeDir("c/windows"));
        world.setEnv("VASTEL_SYSTEM_DIR", world.makeDir("c/windows/system"));
        world.makeDir("c/windows/temp");
        world.makeDir("c/win");
        world.makeDir("c/tools/bin");
        world.makeDir("c/apps/office");
        world.setEnv("PATH", world.path("c/tools/bin"));
    }
    QString c(const QString& rel) const { return world.path("c/" + rel); }

    SandboxWorld world;
    ProtectedFolders folders;
};

} // namespace

TEST_F(Protection, SearchPathSplitsAtColonsAndSkipsEmptyElements) {
    folders.build(nullptr, {c("tools/bin")}, QString(), QString());
    EXPECT_EQ(folders.lbSearchPath(), QStringList({c("tools/bin/")}));

    folders.build(nullptr, {c("tools/bin"), "", c("apps"), ""}, QString(), QString());
    EXPECT_EQ(folders.lbSearchPath(), QStringList({c("apps/"), c("tools/bin/")}));
    EXPECT_EQ(folders.lb1(), QStringList({c("apps/"), c("tools/bin/")}));
    EXPECT_TRUE(folders.listNotBuilt());
}

TEST_F(Protection, SearchPathFolderAlreadyInTheNonDeleteListIsNotAddedAgain) {
    const QStringList nonDelete = {c("tools/bin/"), c("apps/office/")};
    folders.build(&nonDelete, {c("tools/bin"), c("tools/bin/")}, c("windows/system"), c("windows"));
    EXPECT_FALSE(folders.listNotBuilt());
    EXPECT_EQ(folders.lb1().count(c("tools/bin/")), 1);
    EXPECT_EQ(folders.lbSearchPath(), QStringList({c("tools/bin/")}));
    EXPECT_EQ(folders.lbWindows(), QStringList({c("windows/"), c("windows/system/")}));
    EXPECT_EQ(folders.lb1().size(), 4);
}

TEST_F(Protection, BuildFromWorldReadsTheNonDeleteListFile) {
    folders.buildFromWorld();
    EXPECT_TRUE(folders.listNotBuilt());
    EXPECT_TRUE(folders.lookup(c("windows/a.txt"), true)); // built all the same

    ASSERT_TRUE(writeFoldersFile({c("apps/office/")}));
    folders.buildFromWorld();
    EXPECT_FALSE(folders.listNotBuilt());
    int reason = -1;
    EXPECT_TRUE(folders.lookup(c("apps/office/report.doc"), true, &reason));
    EXPECT_EQ(reason, ProtectedFolders::NonDeleteList);
    EXPECT_TRUE(folders.lookup(c("tools/bin/tool"), true, &reason));
    EXPECT_EQ(reason, ProtectedFolders::SearchPath);
}

TEST_F(Protection, FolderNamesThatAreNotUtf8KeepTheirProtection) {
    // "caf\xe9" is Latin-1, not UTF-8: its last byte must survive folders.txt and PATH.
    const QString bad = platform::decodeName(QByteArray("caf\xe9"));
    const QString listed = c("apps/") + bad;
    const QString onPath = c("tools/") + bad;
    ASSERT_TRUE(platform::makeFolder(listed) && platform::makeFolder(onPath));

    ASSERT_TRUE(writeFoldersFile({listed + "/"}));
    EXPECT_EQ(readFoldersFile().value(), QStringList({listed + "/"}));
    world.setEnv("PATH", c("tools/bin") + ":" + onPath);
    folders.buildFromWorld();
    int reason = -1;
    EXPECT_TRUE(folders.lookup(listed + "/menu.txt", true, &reason));
    EXPECT_EQ(reason, ProtectedFolders::NonDeleteList);
    EXPECT_TRUE(folders.lookup(onPath + "/tool", true, &reason));
    EXPECT_EQ(reason, ProtectedFolders::SearchPath);
}

TEST_F(Protection, FilesAreProtectedOnlyDirectlyInAListedFolder) {
    const QStringList nonDelete = {c("windows/system/")};
    folders.build(&nonDelete, {}, c("windows/system"), c("windows"));
    int reason = -1;
    EXPECT_TRUE(folders.lookup(c("windows/x.txt"), true, &reason));
    EXPECT_EQ(reason, ProtectedFolders::SystemFolder);
    EXPECT_FALSE(folders.lookup(c("windows/temp/x.txt"), true, &reason));
    EXPECT_EQ(reason, ProtectedFolders::NotProtected);

    const QStringList withTemp = {c("windows/temp/")};
    folders.build(&withTemp, {}, c("windows/system"), c("windows"));
    EXPECT_TRUE(folders.lookup(c("windows/temp/x.txt"), true, &reason));
    EXPECT_EQ(reason, ProtectedFolders::NonDeleteList);
}

TEST_F(Protection, FoldersContainingAProtectedFolderAreProtected) {
    const QStringList nonDelete = {c("windows/system/")};
    folders.build(&nonDelete, {c("tools/bin")}, c("windows/system"), c("windows"));
    int reason = -1;
    // The system folders are searched first.
    EXPECT_TRUE(folders.lookup(c("windows"), false, &reason));
    EXPECT_EQ(reason, ProtectedFolders::SystemFolder);
    // The root of the drive holding them is protected as a folder.
    EXPECT_TRUE(folders.lookup(world.path("c"), false, &reason));
    EXPECT_EQ(reason, ProtectedFolders::SystemFolder);
    EXPECT_TRUE(folders.lookup(c("tools"), false, &reason));
    EXPECT_EQ(reason, ProtectedFolders::SearchPath);
    // "win" becomes "win/", which is no part of "windows/".
    EXPECT_FALSE(folders.lookup(c("win"), false, &reason));
    EXPECT_EQ(reason, ProtectedFolders::NotProtected);
    EXPECT_FALSE(folders.lookup(c("windows/temp"), false));
}

TEST_F(Protection, PathsAreComparedInCanonicalForm) {
    ASSERT_TRUE(QFile::link(c("apps/office"), c("office-link")));
    const QStringList nonDelete = {c("office-link/")};
    folders.build(&nonDelete, {}, QString(), QString());
    EXPECT_EQ(folders.lb1(), QStringList({c("apps/office/")}));
    EXPECT_TRUE(folders.lookup(c("apps/office/a.doc"), true));
    EXPECT_TRUE(folders.lookup(c("office-link/b.doc"), true));
    EXPECT_TRUE(folders.lookup(c("apps/./office/../office/c.doc"), true));
    // Names are case-sensitive.
    EXPECT_FALSE(folders.lookup(c("apps/OFFICE/a.doc"), true));
}

TEST_F(Protection, OneSearchPerFolderThanksToTheCache) {
    folders.build(nullptr, {}, c("windows/system"), c("windows"));
    EXPECT_TRUE(folders.lookup(c("windows/a.txt"), true));
    EXPECT_TRUE(folders.lookup(c("windows/b.txt"), true));
    EXPECT_EQ(folders.searches(), 1);
    EXPECT_FALSE(folders.lookup(c("win/a.txt"), true));
    EXPECT_EQ(folders.searches(), 2);
    folders.clearCache();
    EXPECT_FALSE(folders.lookup(c("win/b.txt"), true));
    EXPECT_EQ(folders.searches(), 3);
}

TEST_F(Protection, AFolderIsNotAnsweredFromTheCachedAnswerForAFileInIt) {
    folders.build(nullptr, {c("tools/bin")}, QString(), QString());
    // As a file's folder "tools/" is not protected; as a folder it contains "tools/bin/".
    EXPECT_FALSE(folders.lookup(c("tools/readme.txt"), true));
    EXPECT_TRUE(folders.lookup(c("tools"), false));
    EXPECT_FALSE(folders.lookup(c("tools/readme.txt"), true));
}

TEST(ProtectionReasons, Texts) {
    EXPECT_EQ(ProtectedFolders::reasonText(0), "");
    EXPECT_EQ(ProtectedFolders::reasonText(1), "in the Windows/System folder");
    EXPECT_EQ(ProtectedFolders::reasonText(2), "in the search path");
    EXPECT_EQ(ProtectedFolders::reasonText(3), "referenced in the registry");
}

TEST_F(Protection, AListThatCannotBeReadCountsAsNotBuilt) {
    ASSERT_TRUE(writeFoldersFile({c("apps/office/")}));
    folders.buildFromWorld();
    ASSERT_FALSE(folders.listNotBuilt());
    // A file that exists and fails to read, whoever runs the test: reading /proc/self/mem at
    // its start gives an input/output error.
    ASSERT_TRUE(QFile::remove(foldersFilePath()));
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), foldersFilePath()));
    folders.buildFromWorld();
    EXPECT_TRUE(folders.listNotBuilt());
    EXPECT_FALSE(folders.listError().isEmpty());
}
