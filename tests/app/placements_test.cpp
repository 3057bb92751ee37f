// Window placements.
#include "app/inifile.h"
#include "app/placements.h"
#include "platform/environment.h"
#include "support/sandbox.h"

#include <gtest/gtest.h>

TEST(Placement, TextRoundTripsAndShortOrGarbageTextFallsBack) {
    WindowPlacement p;
    p.flags = 2;
    p.showCmd = 3;
    p.minX = -1;
    p.minY = -1;
    p.maxX = -8;
    p.maxY = -30;
    p.left = 100;
    p.top = 120;
    p.right = 900;
    p.bottom = 700;
    EXPECT_EQ(p.toString(), "2 3 -1 -1 -8 -30 100 120 900 700");
    const WindowPlacement back = WindowPlacement::parse(p.toString());
    EXPECT_EQ(back.toString(), p.toString());
    EXPECT_TRUE(back.usable());

    const WindowPlacement empty = WindowPlacement::parse("");
    EXPECT_EQ(empty.toString(), "0 1 0 0 0 0 0 0 0 0");
    EXPECT_FALSE(empty.usable());

    EXPECT_EQ(WindowPlacement::parse("0").toString(), "0 1 0 0 0 0 0 0 0 0");
    EXPECT_EQ(WindowPlacement::parse("5 2 7").toString(), "5 2 7 0 0 0 0 0 0 0");
    EXPECT_EQ(WindowPlacement::parse("x y 1 2 3 4 10 20 zz 40").toString(),
              "0 1 1 2 3 4 10 20 0 40");
    EXPECT_EQ(WindowPlacement::parse("1 1 0 0 0 0 50 50 40 90").usable(), false);
}

TEST(Placement, SlotsFollowTheWindowTable) {
    SandboxWorld world;
    const QString exe = platform::executablePath();
    ASSERT_FALSE(exe.isEmpty());

    struct Expected {
        PlacementWindow window;
        bool inVastel95;
        QString section;
        const char* key;
    };
    for (const Expected& e :
         {Expected{PlacementWindow::DuplicateSearch, false, "frmDups", "frmMods"},
          Expected{PlacementWindow::FileHogs, false, "frmMods", "frmMods"},
          Expected{PlacementWindow::QuickClean, false, exe, "frmMods"},
          Expected{PlacementWindow::Browser, false, exe, "frmBrowse"},
          Expected{PlacementWindow::Viewer, false, exe, "frmView"},
          Expected{PlacementWindow::FilesAccessed, true, exe, "frmMods"}}) {
        const PlacementSlot s = placementSlot(e.window);
        EXPECT_EQ(s.inVastel95, e.inVastel95) << e.key;
        EXPECT_EQ(s.section, e.section) << e.key;
        EXPECT_EQ(s.key, QString::fromLatin1(e.key));
    }
}

TEST(Placement, EachWindowKeepsItsOwnStoredPlacement) {
    SandboxWorld world;
    const PlacementWindow all[] = {
        PlacementWindow::DuplicateSearch, PlacementWindow::FileHogs,
        PlacementWindow::QuickClean,      PlacementWindow::Browser,
        PlacementWindow::Viewer,          PlacementWindow::FilesAccessed};
    for (PlacementWindow w : all)
        EXPECT_EQ(readPlacementText(w), "");

    int n = 0;
    for (PlacementWindow w : all) {
        WindowPlacement p;
        p.left = ++n;
        p.right = 100 * n;
        ASSERT_TRUE(writePlacement(w, p));
    }
    n = 0;
    for (PlacementWindow w : all) {
        const WindowPlacement p = WindowPlacement::parse(readPlacementText(w));
        ++n;
        EXPECT_EQ(p.left, n);
        EXPECT_EQ(p.right, 100 * n);
    }
    // Files accessed alone lives in vastel95, under the executable's path.
    const QByteArray v95 = SandboxWorld::readBytes(vastel95File().path());
    EXPECT_TRUE(v95.startsWith("[" + platform::executablePath().toUtf8() + "]\nfrmMods=0 1 "));
    EXPECT_FALSE(v95.contains("frmBrowse"));
    EXPECT_TRUE(SandboxWorld::readBytes(settingsFile().path())
                    .contains("[frmDups]\nfrmMods=0 1 0 0 0 0 1 0 100 0\n"));
}
