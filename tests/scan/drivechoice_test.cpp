#include "scan/drivechoice.h"
#include "support/sandbox.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace drivechoice;

namespace {

// Restores the process's current folder when a test has moved it.
struct CurrentFolderGuard {
    QString saved = QDir::currentPath();
    ~CurrentFolderGuard() { QDir::setCurrent(saved); }
};

QList<bool> flags(std::initializer_list<bool> values) {
    return QList<bool>(values);
}

} // namespace

TEST(DriveFill, CurrentDriveWinsOverC) {
    const QStringList entries{"c: [/]", "d: [/home]", "e: [/media/usb]"};
    const Ticks t = initialTicks(entries, "e: [/media/usb]");
    EXPECT_EQ(t.ticked, flags({false, false, true}));
    EXPECT_EQ(t.defaultIndex, 2);
}

TEST(DriveFill, WithoutCurrentDriveEveryCEntryIsTickedAndTheLastIsDefault) {
    // The current drive is not listed (or there is none): C in either case is ticked.
    const QStringList entries{"C: [/]", "d: [/home]", "c: [/other]", "x: [/x]"};
    for (const QString& current : {QString(), QString("z: [/z]")}) {
        const Ticks t = initialTicks(entries, current);
        EXPECT_EQ(t.ticked, flags({true, false, true, false})) << current.toStdString();
        EXPECT_EQ(t.defaultIndex, 2);
    }
    // Only the letter counts: a mount point starting with "c" is no drive C.
    const Ticks t = initialTicks({"d: [c]", "e: [/c]"}, QString());
    EXPECT_EQ(t.ticked, flags({false, false}));
}

TEST(DriveFill, NeitherCurrentNorCTicksNothing) {
    const Ticks t = initialTicks({"d: [/home]", "e: [/media]"}, "f: [/srv]");
    EXPECT_EQ(t.ticked, flags({false, false}));
    EXPECT_EQ(t.defaultIndex, 0);

    const Ticks empty = initialTicks({}, "c: [/]");
    EXPECT_TRUE(empty.ticked.isEmpty());
    EXPECT_EQ(empty.defaultIndex, 0);

    // An empty current entry never matches, not even an empty entry.
    EXPECT_EQ(initialTicks({"", "d: [/d]"}, QString()).ticked, flags({false, false}));
}

TEST(DriveEntries, FloppiesAreNeverOffered) {
    const QStringList entries{"a: [/floppy]", "B: [/b]", "c: [/]", "d: [/a]", "" /* odd */};
    EXPECT_EQ(offeredEntries(entries), QStringList({"c: [/]", "d: [/a]", ""}));
    EXPECT_TRUE(isFloppyEntry("A: [/x]"));
    EXPECT_TRUE(isFloppyEntry("b"));
    EXPECT_FALSE(isFloppyEntry("c: [/a]"));
    EXPECT_FALSE(isFloppyEntry(""));
}

TEST(DriveEntries, LettersOfTickedEntries) {
    const QStringList entries{"c: [/]", "D: [/d]", "e: [/e]"};
    EXPECT_EQ(tickedLetters(entries, flags({true, false, true})), QList<QChar>({'C', 'E'}));
    EXPECT_EQ(tickedLetters(entries, flags({false, true})), QList<QChar>({'D'}));
    EXPECT_TRUE(tickedLetters(entries, flags({false, false, false, true})).isEmpty());
    EXPECT_EQ(entryLetter("z: [/z]"), QChar('Z'));
    EXPECT_TRUE(entryLetter("").isNull());
}

TEST(DriveEntries, CounterAndLetterCase) {
    EXPECT_EQ(countText(0, 12), "0/12");
    EXPECT_EQ(countText(3, 3), "3/3");
    EXPECT_EQ(withLetterCase("d: [/media/data]", true), "D: [/media/data]");
    EXPECT_EQ(withLetterCase("d: [/media/data]", false), "d: [/media/data]");
    EXPECT_EQ(withLetterCase("", true), "");
}

TEST(DriveEntries, SystemListAndCurrentDriveOfASandbox) {
    SandboxWorld world;
    CurrentFolderGuard guard;
    world.setDrives({"C", "D", "E"});
    const QString c = world.path("c"), d = world.path("d"), e = world.path("e");
    EXPECT_EQ(systemDriveEntries(),
              QStringList({"c: [" + c + "]", "d: [" + d + "]", "e: [" + e + "]"}));
    EXPECT_EQ(systemDriveEntries(true).at(1), "D: [" + d + "]");

    ASSERT_TRUE(QDir::setCurrent(world.makeDir("d/deep/folder")));
    EXPECT_EQ(currentDriveEntry(), "d: [" + d + "]");
    EXPECT_EQ(currentDriveEntry(true), "D: [" + d + "]");

    // A current folder outside every drive of the world.
    ASSERT_TRUE(QDir::setCurrent(world.makeDir("home")));
    EXPECT_EQ(currentDriveEntry(), "");
}
