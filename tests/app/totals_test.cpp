// Running totals of vastel.ini.
#include "app/inifile.h"
#include "app/totals.h"
#include "platform/filesync.h"
#include "support/sandbox.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <limits>

TEST(Totals, DayNumbersCountFromTheThirtiethOfDecember1899) {
    EXPECT_EQ(dayNumber(QDate(1899, 12, 30)), 0);
    EXPECT_EQ(dayNumber(QDate(1900, 1, 1)), 2);
    EXPECT_EQ(dayNumber(QDate(2000, 1, 1)), 36526);
    EXPECT_EQ(dayNumber(QDate(1899, 12, 29)), -1);
    EXPECT_EQ(dateOfDayNumber(45292), QDate(2024, 1, 1));
    EXPECT_EQ(dateOfDayNumber(dayNumber(QDate(2031, 7, 15))), QDate(2031, 7, 15));
}

TEST(Totals, FirstDeletionStartsTheTotalsAndSecondAddsKeepingTheDate) {
    SandboxWorld world;
    IniFile ini = settingsFile();
    const Totals fresh = readTotals(ini);
    for (qint64 v : {fresh.ndelete, fresh.sizeDelete, fresh.nwaste, fresh.sizeWaste, fresh.delDate,
                     fresh.nzip, fresh.sizeZip, fresh.zipDate})
        EXPECT_EQ(v, -1);

    addDeletionTotals(ini, 3, 3000, 0, 0, QDate(2024, 1, 1));
    Totals t = readTotals(ini);
    EXPECT_EQ(t.ndelete, 3); // the stored -1 is not added
    EXPECT_EQ(t.sizeDelete, 3000);
    EXPECT_EQ(t.nwaste, 0);
    EXPECT_EQ(t.sizeWaste, 0);
    EXPECT_EQ(t.delDate, 45292);
    EXPECT_EQ(t.nzip, -1); // zip totals untouched
    EXPECT_EQ(t.zipDate, -1);

    addDeletionTotals(ini, 2, 500, 4, 40, QDate(2024, 2, 1));
    t = readTotals(ini);
    EXPECT_EQ(t.ndelete, 5);
    EXPECT_EQ(t.sizeDelete, 3500);
    EXPECT_EQ(t.nwaste, 4);
    EXPECT_EQ(t.sizeWaste, 40);
    EXPECT_EQ(t.delDate, 45292);
}

TEST(Totals, OnlyPositiveStoredValuesCountAndOnlyMinusOneDateIsReplaced) {
    SandboxWorld world;
    world.makeFile("config/vastel.ini", "[Vastel]\n"
                                        "Ndelete=-7\n"
                                        "SizeDelete=junk\n"
                                        "NWaste=0\n"
                                        "SizeWaste=10\n"
                                        "DelDate=0\n");
    IniFile ini = settingsFile();
    addDeletionTotals(ini, 1, 100, 2, 200, QDate(2024, 1, 1));
    const Totals t = readTotals(ini);
    EXPECT_EQ(t.ndelete, 1);
    EXPECT_EQ(t.sizeDelete, 100);
    EXPECT_EQ(t.nwaste, 2);
    EXPECT_EQ(t.sizeWaste, 210);
    EXPECT_EQ(t.delDate, 0); // 0 is a date already
}

TEST(Totals, ResetThenDeletionStartsAfreshAndZipsKeepTheirOwnDate) {
    SandboxWorld world;
    IniFile ini = settingsFile();
    addDeletionTotals(ini, 10, 1000, 1, 1, QDate(2020, 5, 5));
    addZipTotals(ini, 4, 400, QDate(2020, 6, 6));
    addZipTotals(ini, 1, 100, QDate(2020, 7, 7));
    Totals t = readTotals(ini);
    EXPECT_EQ(t.nzip, 5);
    EXPECT_EQ(t.sizeZip, 500);
    EXPECT_EQ(t.zipDate, dayNumber(QDate(2020, 6, 6)));
    EXPECT_EQ(t.ndelete, 10);

    resetTotals(ini);
    t = readTotals(ini);
    for (qint64 v :
         {t.ndelete, t.sizeDelete, t.nwaste, t.sizeWaste, t.delDate, t.nzip, t.sizeZip, t.zipDate})
        EXPECT_EQ(v, -1);
    // A reset writes values; it removes no keys.
    EXPECT_TRUE(SandboxWorld::readBytes(ini.path()).contains("ZipDate=-1\n"));

    addDeletionTotals(ini, 2, 20, 0, 0, QDate(2024, 3, 3));
    t = readTotals(ini);
    EXPECT_EQ(t.ndelete, 2);
    EXPECT_EQ(t.sizeDelete, 20);
    EXPECT_EQ(t.delDate, dayNumber(QDate(2024, 3, 3)));
    EXPECT_EQ(t.nzip, -1);
}

TEST(Totals, AShortOrFailedReadStoresNothingAndEveryOutcomeIsTold) {
    SandboxWorld world;
    const QByteArray before = "[ZipFile]\nPath=/z\n\n[Vastel]\nNdelete=4\nSizeDelete=400\n"
                              "[Other]\nx=1\n";
    const QString path = world.makeFile("config/vastel.ini", before);
    const QDate day(2024, 1, 1);

    // Cut short after "[ZipFile]\nPath": written back, it would lose the rest.
    IniFile cut = settingsFile();
    platform::setShortRead(14);
    const Result<> shortRead = addDeletionTotals(cut, 1, 100, 0, 0, day);
    platform::clearFileFaults();
    EXPECT_FALSE(shortRead);
    EXPECT_FALSE(shortRead.message().isEmpty());
    // Once read short, the same IniFile refuses even when the file reads whole again.
    const Result<> again = addZipTotals(cut, 1, 10, day);
    EXPECT_FALSE(again);
    EXPECT_FALSE(again.message().isEmpty());
    EXPECT_EQ(SandboxWorld::readBytes(path), before);

    IniFile failing = settingsFile();
    platform::setFileFault(platform::FileStep::Read, EIO);
    const Result<> reset = resetTotals(failing);
    platform::clearFileFaults();
    EXPECT_FALSE(reset);
    EXPECT_FALSE(reset.message().isEmpty());
    EXPECT_EQ(SandboxWorld::readBytes(path), before);

    // A write that fails is told as well.
    world.makeFile("blocker", "a file where a folder should be");
    IniFile blocked(world.path("blocker/vastel.ini"));
    const Result<> blockedWrite = addZipTotals(blocked, 1, 10, day);
    EXPECT_FALSE(blockedWrite);
    EXPECT_FALSE(blockedWrite.message().isEmpty());

    IniFile fine = settingsFile();
    EXPECT_TRUE(addDeletionTotals(fine, 1, 100, 0, 0, day));
    EXPECT_TRUE(addZipTotals(fine, 1, 10, day));
    EXPECT_EQ(readTotals(fine).ndelete, 5);
    EXPECT_TRUE(SandboxWorld::readBytes(path).endsWith("[Other]\nx=1\n"));
}

TEST(Totals, SizesBeyondThirtyTwoBitsAddUp) {
    SandboxWorld world;
    IniFile ini = settingsFile();
    const qint64 threeGiB = Q_INT64_C(3) << 30;
    addDeletionTotals(ini, 1, threeGiB, 1, threeGiB, QDate(2024, 1, 1));
    addDeletionTotals(ini, 1, threeGiB, 0, 0, QDate(2024, 1, 2));
    addZipTotals(ini, 1, Q_INT64_C(5) << 32, QDate(2024, 1, 1));
    const Totals t = readTotals(ini);
    EXPECT_EQ(t.sizeDelete, 2 * threeGiB);
    EXPECT_EQ(t.sizeWaste, threeGiB);
    EXPECT_EQ(t.sizeZip, Q_INT64_C(5) << 32);
    EXPECT_EQ(ini.readString("Vastel", "SizeDelete", ""), "6442450944");
}

TEST(Totals, CountersStopAtTheLargestNumberInsteadOfWrappingAround) {
    SandboxWorld world;
    const qint64 top = std::numeric_limits<qint64>::max();
    world.makeFile("config/vastel.ini", "[Vastel]\n"
                                        "Ndelete=9223372036854775800\n"
                                        "SizeDelete=9223372036854775807\n"
                                        "NZip=9223372036854775000\n"
                                        "SizeZip=5\n");
    IniFile ini = settingsFile();
    ASSERT_TRUE(addDeletionTotals(ini, 100, top, 0, 0, QDate(2024, 1, 1)));
    ASSERT_TRUE(addZipTotals(ini, 1000, top, QDate(2024, 1, 1)));
    const Totals t = readTotals(ini);
    EXPECT_EQ(t.ndelete, top);
    EXPECT_EQ(t.sizeDelete, top);
    EXPECT_EQ(t.nzip, top);
    EXPECT_EQ(t.sizeZip, top);
    // Once at the top a counter stays there.
    ASSERT_TRUE(addDeletionTotals(ini, 1, 1, 0, 0, QDate(2024, 1, 2)));
    EXPECT_EQ(readTotals(ini).sizeDelete, top);
}
