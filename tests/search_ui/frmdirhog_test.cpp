#include "delete/ui/frmdeldirectory.h"
#include "search/ui/frmdirhog.h"
#include "support/modalwindows.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace folderhogs;

class DirHogWindow : public ::testing::Test {
protected:
    void SetUp() override {
        world.setDrives({"C"});
        world.makeFile("c/Small/a.txt", "12345");
        world.makeFile("c/Large/b.bin", QByteArray(20000, 'b'));
        world.makeFile("c/Large/Inner/c.bin", QByteArray(100, 'c'));
        world.makeFile("c/root.txt", "r");
    }
    // Opens the window on the drives of the world as they are now.
    void open() {
        w = std::make_unique<TfrmDirHog>(
            nullptr, directions, [this](QWidget*, const QString& folder) { browsed = folder; });
        w->show();
    }
    QPushButton* button(const char* name) {
        return w->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    void scan(const char* mode) { startScan(*w, button(mode)); }
    QString cell(int column, int row) const { return w->resultGrid().cell(column, row); }
    QString status() { return w->findChild<QLabel*>(QStringLiteral("StatusLine"))->text(); }
    void selectRowOf(const QString& folder) {
        for (int row = 1; row < w->resultGrid().rowCount(); ++row)
            if (cell(hcName, row) == folder)
                w->gridView()->selectRow(row - 1);
    }
    QAction* menuItem(const QString& caption) {
        for (QAction* a : w->popupMenu()->actions())
            if (a->text() == caption)
                return a;
        return nullptr;
    }

    SandboxWorld world;
    ScriptedBoxes boxes;
    SortDirections directions;
    std::unique_ptr<TfrmDirHog> w;
    QString browsed; // the folder Browse opened the browser on
};

TEST_F(DirHogWindow, ListsLargestFirstSortsAndCopies) {
    open();
    scan("btTop");
    ASSERT_EQ(w->resultGrid().rowCount(), 3); // header, Large, Small: no row for the root
    EXPECT_EQ(cell(hcName, 1), world.path("c/Large"));
    EXPECT_EQ(cell(hcSize, 1), "20,100");
    EXPECT_EQ(cell(hcFiles, 1), "2");
    EXPECT_EQ(cell(hcSubfolders, 1), "1");
    EXPECT_EQ(status(), "Folders : 2");
    EXPECT_TRUE(button("btDelete")->isVisible());
    EXPECT_FALSE(button("btAbort")->isVisible());
    // The first "Sort by Size" after a scan puts the smallest on top.
    menuItem("Sort by &Size")->trigger();
    EXPECT_EQ(cell(hcName, 1), world.path("c/Small"));
    menuItem("Clipboard")->trigger();
    const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith("\t" + world.path("c/Small"))); // descending text order
    EXPECT_EQ(lines[1].count('\t'), 5);
    button("btBrowse")->click(); // the selection stayed on its folder
    EXPECT_EQ(browsed, world.path("c/Large"));

    scan("btAll");
    EXPECT_EQ(w->resultGrid().rowCount(), 5); // the root, Large, Inner and Small
    EXPECT_EQ(status(), "Folders : 4");
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(DirHogWindow, CleansAFolderOnceAndRefusesRootsAndSystemFolders) {
    world.setDrives({"C", "D"});
    world.makeFile("d/sub/x.txt", "x");
    world.setEnv("VASTEL_WINDOWS_DIR", world.path("c/Small"));
    open();
    scan("btAll");
    selectRowOf(world.path("c"));
    button("btDelete")->click();
    selectRowOf(world.path("c/Small"));
    button("btDelete")->click();
    EXPECT_EQ(boxes.texts(), QStringList({"You cannot delete the root folder using Vastel 95",
                                          "You cannot delete the Windows folder using Vastel 95"}));
    EXPECT_TRUE(QFileInfo::exists(world.path("c/Small/a.txt")));

    boxes.shown.clear();
    selectRowOf(world.path("c/Large/Inner"));
    const int row = w->gridView()->selectionModel()->selectedRows().first().row() + 1;
    whenModalOpen<TfrmDelDirectory>([](TfrmDelDirectory* d) {
        d->findChild<QPushButton*>(QStringLiteral("btDelete"))->click();
    });
    emit w->gridView()->doubleClicked(w->gridView()->model()->index(row - 1, hcName));
    EXPECT_FALSE(QFileInfo::exists(world.path("c/Large/Inner")));
    EXPECT_EQ(cell(hcSize, row), "DELETED");
    EXPECT_EQ(cell(hcFiles, row), "1"); // the other cells stay
    boxes.shown.clear();
    button("btDelete")->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Folder already deleted/recycled"});
}

TEST_F(DirHogWindow, ADriveWithoutFoldersFindsNothing) {
    for (const char* folder : {"c/Small", "c/Large"})
        QDir(world.path(folder)).removeRecursively();
    open();
    scan("btTop");
    EXPECT_EQ(boxes.texts(), QStringList{"No files found."});
    EXPECT_FALSE(button("btDelete")->isVisible());
    EXPECT_EQ(w->printTitle(), "Folder hogs on drive(s) C ");
}

} // namespace
