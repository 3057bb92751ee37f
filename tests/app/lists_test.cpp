// Pattern lists and the plain string settings of vastel.ini.
#include "app/foldersfile.h"
#include "app/inifile.h"
#include "app/lists.h"
#include "app/zipsettings.h"
#include "support/sandbox.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(Lists, FreshSystemGivesDefaultsWithoutWritingThem) {
    SandboxWorld world;
    IniFile ini = settingsFile();
    EXPECT_EQ(readList(ini, lists::TempFiles, lists::defaultTempFiles()),
              QStringList({"*.tmp", "*.fts", "*.bak", "*.$$$"}));
    EXPECT_EQ(readList(ini, lists::Include, lists::defaultTypeList()),
              QStringList({"*.doc", "*.exe", "*.dll"}));
    EXPECT_EQ(readList(ini, lists::Exclude, lists::defaultTypeList()),
              QStringList({"*.doc", "*.exe", "*.dll"}));
    EXPECT_TRUE(readList(ini, lists::CacheFiles, {}).isEmpty());
    EXPECT_FALSE(QFile::exists(ini.path()));
    EXPECT_EQ(readZipPath(ini, "/home/u"), "/home/u");
    EXPECT_EQ(readZipComment(ini), "");
    EXPECT_EQ(readFoldersWhen(ini), "Not recorded");

    ASSERT_TRUE(writeZipPath(ini, "/z") && writeZipComment(ini, "c") && writeFoldersWhen(ini, "w"));
    EXPECT_EQ(SandboxWorld::readBytes(ini.path()),
              QByteArray("[ZipFile]\nPath=/z\nComment=c\n\n[Folders]\nWhen=w\n"));
}

TEST(Lists, NumberDecidesBetweenDefaultsAndStoredEntries) {
    SandboxWorld world;
    world.makeFile("config/vastel.ini", "[TempFiles]\nNumber=0\nFile1=*.old\n"
                                        "[Include]\nNumber=abc\nFile1=*.txt\n"
                                        "[Exclude]\nFile1=*.txt\n"
                                        "[CacheFiles]\nNumber=-1\nFile1=/c\n");
    const IniFile ini = settingsFile();
    // 0 is an empty list, not "nothing stored".
    EXPECT_TRUE(readList(ini, lists::TempFiles, lists::defaultTempFiles()).isEmpty());
    // An unreadable or missing Number reads as -1: the defaults.
    EXPECT_EQ(readList(ini, lists::Include, lists::defaultTypeList()), lists::defaultTypeList());
    EXPECT_EQ(readList(ini, lists::Exclude, lists::defaultTypeList()), lists::defaultTypeList());
    EXPECT_EQ(readList(ini, lists::CacheFiles, {"/dflt"}), QStringList({"/dflt"}));
}

TEST(Lists, MissingEmptyAndOutOfRangeKeysAreSkipped) {
    SandboxWorld world;
    world.makeFile("config/vastel.ini", "[tempfiles]\n"
                                        "file4=*.d\n"
                                        "NUMBER=5\n"
                                        "File1=*.a\n"
                                        "File2=\n"
                                        "File01=*.zero\n"
                                        "File6=*.beyond\n"
                                        "File1=*.second\n"
                                        "File3=*.c\n"
                                        "[Other]\n"
                                        "File5=*.elsewhere\n");
    EXPECT_EQ(readList(settingsFile(), lists::TempFiles, lists::defaultTempFiles()),
              QStringList({"*.a", "*.c", "*.d"}));
}

TEST(Lists, ShorterListOverLongerOneLeavesStaleKeysThatAreNeverRead) {
    SandboxWorld world;
    IniFile ini = settingsFile();
    ASSERT_TRUE(writeList(ini, lists::TempFiles, {"*.1", "*.2", "*.3", "*.4", "*.5"}));
    ASSERT_TRUE(writeList(ini, lists::TempFiles, {"*.x", "*.y"}));
    EXPECT_EQ(SandboxWorld::readBytes(ini.path()), QByteArray("[TempFiles]\n"
                                                              "Number=2\n"
                                                              "File1=*.x\n"
                                                              "File2=*.y\n"
                                                              "File3=*.3\n"
                                                              "File4=*.4\n"
                                                              "File5=*.5\n"));
    EXPECT_EQ(readList(ini, lists::TempFiles, lists::defaultTempFiles()),
              QStringList({"*.x", "*.y"}));

    ASSERT_TRUE(writeList(ini, lists::TempFiles, {}));
    EXPECT_TRUE(readList(ini, lists::TempFiles, lists::defaultTempFiles()).isEmpty());
}

TEST(Lists, EntriesAreCutAtTheirFirstTab) {
    SandboxWorld world;
    IniFile ini = settingsFile();
    ASSERT_TRUE(writeList(ini, lists::Include,
                          {"*.doc\tMicrosoft Word Document", "*.txt", "*.a\tone\ttwo"}));
    EXPECT_EQ(ini.readString("Include", "File1", ""), "*.doc");
    EXPECT_EQ(readList(ini, lists::Include, {}), QStringList({"*.doc", "*.txt", "*.a"}));
}
