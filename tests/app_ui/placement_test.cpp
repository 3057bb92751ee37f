#include "app/placements.h"
#include "app/ui/placement.h"
#include "support/sandbox.h"

#include <QWidget>
#include <gtest/gtest.h>

TEST(WindowPlacementUi, StoredPlacementComesBackAndEachModeKeepsItsOwn) {
    SandboxWorld world;
    QWidget w;
    w.setGeometry(40, 50, 300, 200);
    placement::store(&w, PlacementWindow::DuplicateSearch);
    const WindowPlacement stored =
        WindowPlacement::parse(readPlacementText(PlacementWindow::DuplicateSearch));
    EXPECT_EQ(stored.left, 40);
    EXPECT_EQ(stored.top, 50);
    EXPECT_EQ(stored.right, 340);
    EXPECT_EQ(stored.bottom, 250);
    EXPECT_EQ(stored.showCmd, 1);

    QWidget again;
    again.resize(10, 10);
    placement::restore(&again, PlacementWindow::DuplicateSearch);
    EXPECT_EQ(again.geometry(), QRect(40, 50, 300, 200));

    // The large-file search has none stored yet: its window is centred, not moved to the other's.
    QWidget hogs;
    hogs.resize(100, 100);
    placement::restore(&hogs, PlacementWindow::FileHogs);
    EXPECT_NE(hogs.pos(), QPoint(40, 50));
    EXPECT_EQ(readPlacementText(PlacementWindow::FileHogs), "");
}

TEST(WindowPlacementUi, AnUnusablePlacementIsIgnored) {
    SandboxWorld world;
    WindowPlacement p;
    p.left = 500;
    p.right = 100; // right edge before the left one
    ASSERT_TRUE(writePlacement(PlacementWindow::Browser, p));
    QWidget w;
    w.setGeometry(10, 20, 30, 40);
    placement::restore(&w, PlacementWindow::Browser);
    EXPECT_EQ(w.geometry(), QRect(10, 20, 30, 40));
}
