// The INI reader and writer: lookup rules, integers, and writes that leave the rest alone.
#include "app/inifile.h"
#include "app/lists.h"
#include "support/entrybuilders.h"
#include "support/sandbox.h"
#include "support/timelimit.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(IniFile, MissingFileGivesDefaultsAndFirstWriteCreatesFolderAndFile) {
    SandboxWorld world;
    world.setEnv("VASTEL_CONFIG_DIR", world.path("new/profile"));
    IniFile ini = settingsFile();
    EXPECT_EQ(ini.path(), world.path("new/profile/vastel.ini"));
    EXPECT_EQ(ini.readString("ZipFile", "Path", "dflt"), "dflt");
    EXPECT_EQ(ini.readInteger("Vastel", "Ndelete", -1), -1);
    EXPECT_FALSE(QFile::exists(ini.path())); // reading creates nothing

    ASSERT_TRUE(ini.writeString("ZipFile", "Path", "/home/u/zips"));
    ASSERT_TRUE(ini.writeInteger("Vastel", "Ndelete", 3));
    ASSERT_TRUE(ini.writeString("ZipFile", "Comment", "made by me"));
    EXPECT_EQ(SandboxWorld::readBytes(ini.path()), QByteArray("[ZipFile]\n"
                                                              "Path=/home/u/zips\n"
                                                              "Comment=made by me\n"
                                                              "\n"
                                                              "[Vastel]\n"
                                                              "Ndelete=3\n"));
    EXPECT_EQ(vastel95File().path(), world.path("new/profile/vastel95"));
}

TEST(IniFile, SectionsAndKeysIgnoreCaseAndFirstMatchWins) {
    SandboxWorld world;
    const QString path = world.makeFile("config/vastel.ini", "[vastel]\n"
                                                             "NDELETE=5\n"
                                                             "ndelete=6\n"
                                                             "[VASTEL]\n"
                                                             "SizeDelete=7\n");
    IniFile ini(path);
    EXPECT_EQ(ini.readInteger("Vastel", "Ndelete", -1), 5);
    // Only the first section of a name is used.
    EXPECT_EQ(ini.readInteger("Vastel", "SizeDelete", -1), -1);

    ASSERT_TRUE(ini.writeInteger("Vastel", "nDelete", 9));
    ASSERT_TRUE(ini.writeInteger("vAsTeL", "SizeDelete", 8));
    EXPECT_EQ(SandboxWorld::readBytes(path), QByteArray("[vastel]\n"
                                                        "NDELETE=9\n"
                                                        "ndelete=6\n"
                                                        "SizeDelete=8\n"
                                                        "[VASTEL]\n"
                                                        "SizeDelete=7\n"));
}

TEST(IniFile, ValuesAreTrimmedAndKeepEverythingAfterTheFirstEquals) {
    SandboxWorld world;
    const QString path = world.makeFile("config/vastel.ini", "  [ ZipFile ]  \r\n"
                                                             "\tPath =  /a=b c  \r\n"
                                                             "Comment=\r\n"
                                                             "; Path=/commented\r\n"
                                                             "no equals sign\r\n"
                                                             "=orphan\r\n"
                                                             "Name=caf\xc3\xa9\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.readString("ZipFile", "Path", "d"), "/a=b c");
    EXPECT_EQ(ini.readString("ZipFile", "Comment", "d"), ""); // present but empty
    EXPECT_EQ(ini.readString("ZipFile", "; Path", "d"), "d");
    EXPECT_EQ(ini.readString("ZipFile", "no equals sign", "d"), "d");
    EXPECT_EQ(ini.readString("ZipFile", "Name", "d"), QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_EQ(ini.readString("Other", "Path", "d"), "d");
}

TEST(IniFile, WritesKeepEveryOtherLineByteForByte) {
    SandboxWorld world;
    const QByteArray before = "; settings\r\n"
                              "\r\n"
                              "[Vastel]\r\n"
                              "  Ndelete = 4   \r\n"
                              "Unknown=kept  as is \r\n"
                              "; note about the totals\r\n"
                              "\r\n"
                              "\r\n"
                              "[Other]\r\n"
                              "x=1";
    const QString path = world.makeFile("config/vastel.ini", before);
    IniFile ini(path);

    // In place: the key's spelling and the blanks around "=" stay.
    ASSERT_TRUE(ini.writeInteger("vastel", "NDELETE", 12));
    // New key: after the section's last line, before its trailing blank lines.
    ASSERT_TRUE(ini.writeString("Vastel", "DelDate", "45000"));
    // New section: at the end, after a blank line; the old last line gets its line end.
    ASSERT_TRUE(ini.writeString("ZipFile", "Path", "/z"));

    EXPECT_EQ(SandboxWorld::readBytes(path), QByteArray("; settings\r\n"
                                                        "\r\n"
                                                        "[Vastel]\r\n"
                                                        "  Ndelete = 12\r\n"
                                                        "Unknown=kept  as is \r\n"
                                                        "; note about the totals\r\n"
                                                        "DelDate=45000\r\n"
                                                        "\r\n"
                                                        "\r\n"
                                                        "[Other]\r\n"
                                                        "x=1\r\n"
                                                        "\r\n"
                                                        "[ZipFile]\r\n"
                                                        "Path=/z\r\n"));
}

TEST(IniFile, KeyAddedToEmptyLastSectionAndLineBreaksInValuesFlattened) {
    SandboxWorld world;
    const QString path = world.makeFile("config/vastel.ini", "[A]\n\n[B]\n");
    IniFile ini(path);
    ASSERT_TRUE(ini.writeString("A", "k", "one\r\ntwo\nthree"));
    ASSERT_TRUE(ini.writeString("B", "k", "v"));
    EXPECT_EQ(SandboxWorld::readBytes(path), QByteArray("[A]\nk=one two three\n\n[B]\nk=v\n"));
    EXPECT_EQ(ini.readString("a", "K", ""), "one two three");
}

TEST(IniFile, IntegersAreSixtyFourBitDecimalElseTheDefault) {
    SandboxWorld world;
    const QString path = world.makeFile("config/vastel.ini", "[N]\n"
                                                             "plus=+7\n"
                                                             "minus= -3 \n"
                                                             "big=9000000000\n"
                                                             "letters=abc\n"
                                                             "tail=12abc\n"
                                                             "hex=0x10\n"
                                                             "empty=\n"
                                                             "huge=99999999999999999999\n"
                                                             "grouped=1,000\n");
    IniFile ini(path);
    EXPECT_EQ(ini.readInteger("N", "plus", -1), 7);
    EXPECT_EQ(ini.readInteger("N", "minus", -1), -3);
    EXPECT_EQ(ini.readInteger("N", "big", -1), Q_INT64_C(9000000000));
    for (const char* key : {"letters", "tail", "hex", "empty", "huge", "grouped", "missing"})
        EXPECT_EQ(ini.readInteger("N", key, -42), -42) << key;

    ASSERT_TRUE(ini.writeInteger("N", "neg", Q_INT64_C(-5000000000)));
    EXPECT_EQ(ini.readString("N", "neg", ""), "-5000000000");
    EXPECT_EQ(ini.readInteger("N", "neg", 0), Q_INT64_C(-5000000000));
}

TEST(IniFile, ByteOrderMarkDoesNotHideTheFirstSection) {
    SandboxWorld world;
    const QByteArray before = "\xef\xbb\xbf[Vastel]\nNdelete=2\n";
    const QString path = world.makeFile("config/vastel.ini", before);
    IniFile ini(path);
    EXPECT_EQ(ini.readInteger("Vastel", "Ndelete", -1), 2);
    ASSERT_TRUE(ini.writeInteger("Vastel", "Ndelete", 3));
    EXPECT_EQ(SandboxWorld::readBytes(path), QByteArray("\xef\xbb\xbf[Vastel]\nNdelete=3\n"));
}

TEST(IniFile, WriteFailsWhenTheFolderCannotBeMade) {
    SandboxWorld world;
    world.makeFile("blocker", "a file where a folder should be");
    world.setEnv("VASTEL_CONFIG_DIR", world.path("blocker/profile"));
    IniFile ini = settingsFile();
    EXPECT_FALSE(ini.writeString("ZipFile", "Path", "/z"));
    EXPECT_EQ(ini.readString("ZipFile", "Path", "d"), "d");
}

TEST(IniFile, AFailedReadKeepsEveryLaterWriteOfThatFileFromReplacingIt) {
    SandboxWorld world;
    // A folder has the name: the list cannot be read and comes back as the defaults.
    const QString path = world.makeDir("config/vastel.ini");
    IniFile ini(path);
    EXPECT_EQ(readList(ini, lists::TempFiles, lists::defaultTempFiles()),
              lists::defaultTempFiles());

    // The fault passes and the user's file is there again; what this IniFile read is not it.
    ASSERT_TRUE(QDir().rmdir(path));
    const QByteArray kept = "[TempFiles]\nNumber=1\nFile1=*.old\n\n[ZipFile]\nPath=/z\n";
    world.makeFile("config/vastel.ini", kept);
    EXPECT_FALSE(writeList(ini, lists::TempFiles, lists::defaultTempFiles()));
    EXPECT_FALSE(ini.writeString("ZipFile", "Comment", "c"));
    EXPECT_EQ(SandboxWorld::readBytes(path), kept);

    // A file read whole may be written.
    IniFile again(path);
    EXPECT_EQ(readList(again, lists::TempFiles, {}), QStringList({"*.old"}));
    EXPECT_TRUE(again.writeString("ZipFile", "Comment", "c"));
}

TEST(IniFile, ASettingsFileThatIsAFifoReadsAsDefaultsWithoutWaiting) {
    SandboxWorld world;
    ASSERT_TRUE(scantest::makeFifo(settingsFile().path()));
    EXPECT_TRUE(finishesInTime([] {
        IniFile ini = settingsFile();
        if (ini.readString("Zip", "Path", "default") != "default")
            return false;
        const Result<> written = ini.writeStrings("Zip", {{"Path", "/x"}});
        return !written && written.message().contains("not a regular file");
    }));
}
