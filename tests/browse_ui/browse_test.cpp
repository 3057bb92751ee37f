#include "app/shell.h"
#include "app/shell/frmmain.h"
#include "app/shell/tools.h"
#include "browse/ui/frmbrowse.h"
#include "delete/ui/frmdeldirectory.h"
#include "delete/ui/frmreallydelete.h"
#include "scan/ui/frmwildcard.h"
#include "search/ui/frmmods.h"
#include "support/children.h"
#include "support/modalwindows.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

QString panel(QObject* w, const char* name) {
    return child<QLabel>(w, name)->text();
}

QStringList names(const TfrmBrowse& w) {
    QStringList n;
    for (int r = 1; r < w.resultGrid().rowCount(); ++r)
        n << w.resultGrid().cell(browse::bcFilename, r);
    return n;
}

void selectRow(QObject* w, int modelRow) {
    auto* grid = child<QTableView>(w, "grid");
    grid->setCurrentIndex(grid->model()->index(modelRow, 0));
}

void setModified(const QString& path, int year) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime(QDate(year, 6, 1), QTime(12, 0)),
                              QFileDevice::FileModificationTime));
}

class BrowseWindow : public ::testing::Test {
protected:
    void SetUp() override {
        world.setDrives({"C"});
        world.setEnv("VASTEL_WINDOWS_DIR", world.makeDir("c/windows"));
        shell::protection().build(nullptr, {}, QString(), QString());
        setModified(world.makeFile("c/files/a.txt", "12345"), 2003);
        setModified(world.makeFile("c/files/B.log", QByteArray(1000, 'b')), 2001);
        setModified(world.makeFile("c/files/c.txt", "123"), 2002);
        world.makeDir("c/empty");
    }
    QString c(const QString& relative) const { return world.path("c/" + relative); }

    SandboxWorld world;
    ScriptedBoxes boxes;
    browse::SortFlags flags;
};

} // namespace

TEST_F(BrowseWindow, ListsMarksAndForgetsTheMarksOnAnotherFolder) {
    TfrmBrowse w(nullptr, flags, nullptr, c("files"));
    w.show();
    EXPECT_EQ(w.windowTitle(), "Browse through folders");
    EXPECT_EQ(names(w), QStringList({"a.txt", "B.log", "c.txt"}));
    EXPECT_EQ(panel(&w, "Label1"), c("files"));
    EXPECT_EQ(panel(&w, "pnlScan"), "Number of files : 3");
    EXPECT_EQ(panel(&w, "pnlSize"), "Total size : 1,008");
    EXPECT_EQ(panel(&w, "pnlWild"), "Wildcard : *.*");
    EXPECT_EQ(child<QComboBox>(&w, "DriveComboBox1")->currentText().left(2), "C:");
    EXPECT_FALSE(button(&w, "btDeleteFiles")->isEnabled());

    selectRow(&w, 1);
    button(&w, "btMark")->click(); // B.log, and on to c.txt
    EXPECT_EQ(panel(&w, "pnlScan"), "Marked for deletion: 1 files 1,000 bytes");
    EXPECT_EQ(w.selectedName(), "c.txt");
    // A file gone since the listing shows its mark but counts nothing.
    ASSERT_TRUE(QFile::remove(c("files/c.txt")));
    button(&w, "btMark")->click();
    EXPECT_EQ(w.marks().count(), 1);
    EXPECT_EQ(w.lbDeleted(), QStringList({c("files/B.log"), c("files/c.txt")}));
    EXPECT_EQ(w.markedBytes(), 1000);
    EXPECT_TRUE(w.resultGrid().isMarked(3));
    EXPECT_TRUE(button(&w, "btDeleteFiles")->isEnabled());

    w.setFolder(c("empty"));
    // No files: one empty row, which Mark all leaves alone.
    EXPECT_EQ(child<QTableView>(&w, "grid")->model()->rowCount(), 1);
    EXPECT_EQ(panel(&w, "pnlScan"), "Number of files : 0");
    child<QAction>(&w, "miMarkAll")->trigger();
    EXPECT_EQ(w.marks().count(), 0);
    EXPECT_TRUE(w.marks().paths().isEmpty());
    EXPECT_FALSE(button(&w, "btDeleteFiles")->isEnabled());

    w.setFolder(c("files"));
    EXPECT_EQ(names(w), QStringList({"a.txt", "B.log"}));
    EXPECT_EQ(w.marks().count(), 0);
    EXPECT_FALSE(w.resultGrid().isMarked(2));
    EXPECT_FALSE(button(&w, "btDeleteFiles")->isEnabled());
    w.close();
    EXPECT_TRUE(boxes.shown.isEmpty()); // nothing marked: no question
}

TEST_F(BrowseWindow, SortDirectionsOutliveTheWindowAndThePatternFilters) {
    {
        TfrmBrowse w(nullptr, flags, nullptr, c("files"));
        w.show();
        child<QAction>(&w, "miSortName")->trigger(); // first name sort: descending
        EXPECT_EQ(names(w), QStringList({"c.txt", "B.log", "a.txt"}));
        // First modified sort, by a click on its header: oldest first.
        child<QTableView>(&w, "grid")->horizontalHeader()->sectionClicked(browse::bcModified);
        EXPECT_EQ(names(w), QStringList({"B.log", "c.txt", "a.txt"}));
        EXPECT_TRUE(child<QAction>(&w, "miSortModified")->isChecked());
        EXPECT_FALSE(child<QAction>(&w, "miSortName")->isChecked());

        whenModalOpen<TfrmWildCard>([](TfrmWildCard* d) {
            d->setPattern("*.TXT");
            d->accept();
        });
        QMouseEvent click(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                          Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(child<QLabel>(&w, "pnlWild"), &click);
        EXPECT_EQ(panel(&w, "pnlWild").toLower(), "wildcard : *.txt");
        // Re-read with the modified sort as it stands, without reversing it.
        EXPECT_EQ(names(w), QStringList({"c.txt", "a.txt"}));
    }
    // A new window lists by name again, and its name sort goes on from the last one.
    TfrmBrowse w(nullptr, flags, nullptr, c("files"));
    w.show();
    EXPECT_EQ(names(w), QStringList({"c.txt", "B.log", "a.txt"}));
    child<QAction>(&w, "miSortName")->trigger();
    EXPECT_EQ(names(w), QStringList({"a.txt", "B.log", "c.txt"}));
}

TEST_F(BrowseWindow, DeleteFolderRefusesRootsAndSystemFoldersOnly) {
    world.makeFile("c/windows/sub/x.dll", "x");
    TfrmBrowse w(nullptr, flags, nullptr, c("files"));
    w.show();
    w.setFolder(world.path("c"));
    button(&w, "btDeleteDirectory")->click();
    w.setFolder(c("windows"));
    button(&w, "btDeleteDirectory")->click();
    EXPECT_EQ(boxes.texts(),
              QStringList({"Cannot delete the root folder! To delete a folder including all "
                           "files and sub-folders double click on the desired folder shown in "
                           "the left panel.",
                           "You cannot delete the Windows folder using Vastel 95"}));

    // A folder below is left to the folder deletion window; after a cancel it is shown again.
    w.setFolder(c("windows/sub"));
    QString offered;
    whenModalOpen<TfrmDelDirectory>([&offered](TfrmDelDirectory* d) {
        offered = d->folder();
        d->reject();
    });
    button(&w, "btDeleteDirectory")->click();
    EXPECT_EQ(offered, c("windows/sub"));
    EXPECT_EQ(w.folder(), c("windows/sub"));
    EXPECT_EQ(boxes.shown.size(), 2);
}

TEST_F(BrowseWindow, CleanHandsTheMarksOverAndReadsTheFolderAgain) {
    TfrmBrowse w(nullptr, flags, nullptr, c("files"));
    w.show();
    child<QAction>(&w, "miMarkAll")->trigger();
    EXPECT_EQ(panel(&w, "pnlScan"), "Marked for deletion: 3 files 1,008 bytes");

    // Closing with marks asks first; No keeps the window.
    boxes.answers = {QMessageBox::No};
    w.close();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(boxes.texts(), QStringList({"You have 3 files marked for deletion. Do you really "
                                          "wish to exit without deleting?"}));

    child<QAction>(&w, "miUnmarkAll")->trigger();
    EXPECT_EQ(panel(&w, "pnlScan"), "Marked for deletion: 0 files 0 bytes");
    selectRow(&w, 0);
    button(&w, "btMark")->click(); // a.txt
    button(&w, "btMark")->click(); // B.log
    whenModalOpen<TfrmReallyDelete>([this](TfrmReallyDelete* d) {
        EXPECT_EQ(d->deletionPanel(), QStringList({c("files/a.txt"), c("files/B.log")}));
        EXPECT_EQ(d->archiveTag(), "");
        EXPECT_EQ(d->savings(), 1005);
        button(d, "btDelete")->click();
    });
    button(&w, "btDeleteFiles")->click();
    EXPECT_FALSE(QFileInfo::exists(c("files/a.txt")));
    EXPECT_EQ(names(w), QStringList({"c.txt"}));
    EXPECT_EQ(w.marks().count(), 0);
    EXPECT_TRUE(w.isVisible());
    boxes.answers.clear();
    w.close();
    EXPECT_FALSE(w.isVisible());
}

TEST_F(BrowseWindow, OtherWindowsAndTheMainWindowOpenIt) {
    // Files in a range of dates finds the files just made.
    const QString chosen = world.makeFile("c/found/two.txt", "22");
    dates::SortDirections dateSorts;
    TfrmMods mods(nullptr, dateSorts, nullptr, &flags);
    mods.show();
    startScan(mods, button(&mods, "btOK"));
    for (int row = 1; row <= mods.rowCount(); ++row)
        if (dates::rowPath(mods.resultGrid(), row) == chosen)
            selectRow(&mods, row - 1);
    QString folder, selected;
    whenModalOpen<TfrmBrowse>([&](TfrmBrowse* b) {
        folder = b->folder();
        selected = b->selectedName();
        b->close();
    });
    button(&mods, "btBrowse")->click();
    EXPECT_EQ(folder, c("found"));
    EXPECT_EQ(selected, "two.txt");

    world.makeFile("data/folders.txt", "/nowhere\r\n");
    registerTools();
    TfrmMain main;
    main.show();
    ASSERT_TRUE(main.button("btBrowse")->isEnabled());
    folder.clear();
    whenModalOpen<TfrmBrowse>([&folder](TfrmBrowse* b) {
        folder = b->folder();
        b->close();
    });
    main.button("btBrowse")->click();
    EXPECT_FALSE(folder.isEmpty());
}
