#include "app/foldersfile.h"
#include "app/placements.h"
#include "app/shell/frmmain.h"
#include "app/shell/tools.h"
#include "app/totals.h"
#include "clean/ui/frmcache.h"
#include "clean/ui/frmclean.h"
#include "clean/ui/frmtempfiles.h"
#include "cleanui.h"
#include "delete/ui/frmreallydelete.h"
#include "platform/dirsearch.h"
#include "support/modalwindows.h"
#include "support/scriptedboxes.h"

#include <QAction>
#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTableView>
#include <cerrno>

using namespace cleanui;

namespace {

class CleanWindow : public ::testing::Test {
protected:
    void SetUp() override { setUpWorld(world); }

    static void startScan(TfrmClean& w) { ::startScan(w, button(&w, "btScan")); }

    // The FileName column, top to bottom.
    static QStringList paths(const TfrmClean& w) {
        QStringList out;
        for (int r = 1; r <= w.rowCount(); ++r)
            out << w.resultGrid().cell(4, r);
        return out;
    }

    static void selectPatterns(TfrmClean& w, const QStringList& patterns) {
        QListWidget* l = list(&w, "PickList1");
        l->clearSelection();
        for (int row = 0; row < l->count(); ++row) {
            if (patterns.contains(l->item(row)->text().section('\t', 0, 0)))
                l->item(row)->setSelected(true);
        }
    }

    static QString status(QWidget* w) { return child<QLabel>(w, "pnlSel")->text(); }

    QString c(const QString& relative) const { return world.path("c/" + relative); }

    SandboxWorld world;
    ScriptedBoxes boxes;
    dups::SortDirections sorts;
};

} // namespace

TEST_F(CleanWindow, ShowingSelectsEveryPatternAndHidesTheResultButtons) {
    TfrmClean w(nullptr, sorts);
    w.show();
    QListWidget* l = list(&w, "PickList1");
    EXPECT_EQ(itemTexts(l), QStringList({"*.$$$\t$$$ File", "*.bak\tBAK File", "*.fts\tFTS File",
                                         "*.tmp\tTemporary File"}));
    EXPECT_EQ(selectedRowsOf(l), QList<int>({0, 1, 2, 3}));
    for (const char* hidden :
         {"btAbort", "btMark", "btDelete", "btOptions", "btBrowse", "btDetails"})
        EXPECT_FALSE(button(&w, hidden)->isVisible()) << hidden;
    EXPECT_TRUE(button(&w, "btScan")->isEnabled()); // drive C is ticked in advance
    for (const char* off : {"btBrowse", "btDetails"})
        EXPECT_FALSE(button(&w, off)->isEnabled()) << off;
    EXPECT_FALSE(child<QAction>(&w, "miDetails")->isEnabled());
    EXPECT_FALSE(child<QAction>(&w, "miView")->isEnabled());
}

TEST_F(CleanWindow, TwoScansInARowBothPutTheLargestFirst) {
    const QString small = world.makeFile("c/s.tmp", QByteArray(10, 'x'));
    const QString big = world.makeFile("c/d/b.bak", QByteArray(900, 'x'));
    const QString middle = world.makeFile("c/m.fts", QByteArray(90, 'x'));
    TfrmClean w(nullptr, sorts);
    w.show();
    selectPatterns(w, {"*.tmp", "*.bak", "*.fts"});
    startScan(w);
    EXPECT_EQ(paths(w), QStringList({big, middle, small}));
    EXPECT_EQ(status(&w), "3 tempfiles found");
    for (const char* shown : {"btMark", "btDelete", "btOptions", "btBrowse", "btDetails"})
        EXPECT_TRUE(button(&w, shown)->isVisible()) << shown;
    EXPECT_FALSE(button(&w, "btAbort")->isVisible());
    EXPECT_TRUE(child<QAction>(&w, "miSortSize")->isChecked());
    // A size sort now is ascending; a header click on FileName sorts by name.
    child<QAction>(&w, "miSortSize")->trigger();
    EXPECT_EQ(paths(w), QStringList({small, middle, big}));
    child<QTableView>(&w, "grid")->horizontalHeader()->sectionClicked(4);
    EXPECT_EQ(paths(w), QStringList({big, middle, small})); // c/d/... < c/m... < c/s...
    EXPECT_TRUE(child<QAction>(&w, "miSortName")->isChecked());
    EXPECT_FALSE(child<QAction>(&w, "miSortSize")->isChecked());
    startScan(w); // the pattern selection survived the first scan
    EXPECT_EQ(paths(w), QStringList({big, middle, small}));
    EXPECT_TRUE(child<QAction>(&w, "miSortSize")->isChecked());
    child<QAction>(&w, "miSortSize")->trigger();
    EXPECT_EQ(paths(w), QStringList({small, middle, big}));
}

TEST_F(CleanWindow, NoPatternOrNoFileIsSaid) {
    world.makeFile("c/a.txt", "x");
    TfrmClean w(nullptr, sorts);
    w.show();
    startScan(w);
    EXPECT_EQ(boxes.texts(), QStringList({"No files found."}));
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Information);
    EXPECT_FALSE(button(&w, "btMark")->isVisible());

    // After the editor no pattern is selected.
    whenModalOpen<TfrmTempFiles>([](TfrmTempFiles* editor) { editor->accept(); });
    button(&w, "btEdit")->click();
    EXPECT_EQ(list(&w, "PickList1")->count(), 4);
    EXPECT_TRUE(selectedRowsOf(list(&w, "PickList1")).isEmpty());
    button(&w, "btScan")->click();
    EXPECT_FALSE(w.scanning());
    EXPECT_EQ(boxes.texts().last(), "Select at least one file extension");
    EXPECT_EQ(boxes.shown.last().kind, msgbox::Kind::Error);

    // The list's popup selects them all again.
    child<QAction>(&w, "SelectAll2")->trigger();
    EXPECT_EQ(selectedRowsOf(list(&w, "PickList1")).size(), 4);
    child<QAction>(&w, "DeselectAll2")->trigger();
    EXPECT_TRUE(selectedRowsOf(list(&w, "PickList1")).isEmpty());
}

TEST_F(CleanWindow, ADeletedNumberKeyBringsBackTheDefaults) {
    writeSettings("[TempFiles]\r\nNumber=0\r\n");
    {
        TfrmClean w(nullptr, sorts);
        w.show();
        EXPECT_EQ(list(&w, "PickList1")->count(), 0);
    }
    writeSettings("[TempFiles]\r\nFile1=*.zzz\r\n");
    TfrmClean w(nullptr, sorts);
    w.show();
    EXPECT_EQ(list(&w, "PickList1")->count(), 4);
}

TEST_F(CleanWindow, MarkedFilesGoToTheDeletionWindowAsTempClean) {
    const QString a = world.makeFile("c/a.tmp", QByteArray(300, 'a'));
    const QString b = world.makeFile("c/b.tmp", QByteArray(200, 'b'));
    TfrmClean w(nullptr, sorts);
    w.show();
    startScan(w);
    ASSERT_EQ(paths(w), QStringList({a, b}));
    child<QAction>(&w, "miMarkAll")->trigger();
    EXPECT_EQ(status(&w), "2 files 500 bytes");
    EXPECT_TRUE(button(&w, "btDelete")->isEnabled());
    child<QAction>(&w, "miUnmarkAll")->trigger();
    EXPECT_EQ(status(&w), "0 files 0 bytes");
    EXPECT_FALSE(button(&w, "btDelete")->isEnabled());

    QTableView* grid = child<QTableView>(&w, "grid");
    grid->setCurrentIndex(grid->model()->index(0, 0));
    button(&w, "btMark")->click(); // marks a and moves on to b
    EXPECT_EQ(w.lbDeleted(), QStringList({a}));
    EXPECT_EQ(grid->currentIndex().row(), 1);

    QGuiApplication::clipboard()->setText("old");
    child<QAction>(&w, "miClipboard")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), a + "\r\n" + b);
    EXPECT_EQ(w.printTitle(), "Temporary files on drive(s) C ");

    whenModalOpen<TfrmReallyDelete>([a](TfrmReallyDelete* d) {
        EXPECT_EQ(d->deletionPanel(), QStringList({a}));
        EXPECT_EQ(d->archiveTag(), "TempClean");
        EXPECT_EQ(d->savings(), 300);
        button(d, "btDelete")->click();
    });
    button(&w, "btDelete")->click();
    EXPECT_FALSE(QFileInfo::exists(a));
    EXPECT_TRUE(QFileInfo::exists(b));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(readTotals(settingsFile()).sizeDelete, 300);
    EXPECT_FALSE(readPlacementText(PlacementWindow::QuickClean).isEmpty());
}

TEST_F(CleanWindow, MainWindowOpensBothTools) {
    world.makeFile("data/folders.txt", "/nowhere\r\n");
    registerTools();
    TfrmMain main;
    main.show();
    ASSERT_TRUE(main.button("btClean")->isEnabled());
    ASSERT_TRUE(main.button("btClearCache")->isEnabled());
    bool cleanOpened = false, cacheOpened = false;
    whenModalOpen<TfrmClean>([&cleanOpened](TfrmClean* w) {
        cleanOpened = w->windowTitle() == "Find and delete temporary files";
        w->close();
    });
    main.button("btClean")->click();
    whenModalOpen<TfrmCache>([&cacheOpened](TfrmCache* w) {
        cacheOpened = true;
        w->close();
    });
    main.button("btClearCache")->click();
    EXPECT_TRUE(cleanOpened);
    EXPECT_TRUE(cacheOpened);
}

TEST_F(CleanWindow, EscAndTheCloseBoxDuringAScanStopTheWalkAndClose) {
    world.makeFile("c/s.tmp", QByteArray(10, 'x'));
    for (const bool esc : {true, false}) {
        boxes.shown.clear();
        TfrmClean w(nullptr, sorts);
        bool done = false;
        QObject::connect(&w, &TfrmClean::scanDone, [&done] { done = true; });
        w.show();
        button(&w, "btScan")->click();
        // The walk goes in steps from the event loop: it has not taken one yet.
        ASSERT_TRUE(w.scanning());
        if (esc) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&w, &key);
        } else {
            w.close(); // the close box
        }
        EXPECT_FALSE(w.isVisible()) << (esc ? "Esc" : "close box");
        EXPECT_FALSE(w.scanning());
        waitFor(50);
        // Stopped without a word and without a result.
        EXPECT_FALSE(done);
        EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
        EXPECT_EQ(w.rowCount(), 0);
    }
}

TEST_F(CleanWindow, FoldersThatCouldNotBeReadAreCountedAndListedOnAClick) {
    world.makeFile("c/s.tmp", QByteArray(10, 'x'));
    world.makeFile("c/locked/t.tmp", QByteArray(20, 'x'));
    platform::setOpenFault(c("locked"), EACCES);
    TfrmClean w(nullptr, sorts);
    w.show();
    startScan(w);
    platform::clearOpenFaults();
    EXPECT_EQ(paths(w), QStringList({c("s.tmp")}));
    EXPECT_EQ(status(&w), "1 tempfiles found; 1 folder could not be read");
    EXPECT_EQ(w.skippedCount(), 1);
    boxes.shown.clear();
    QLabel* line = child<QLabel>(&w, "pnlSel");
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), line->mapToGlobal(QPointF(2, 2)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), line->mapToGlobal(QPointF(2, 2)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(line, &press);
    QApplication::sendEvent(line, &release);
    EXPECT_EQ(boxes.texts(), QStringList({"1 folder could not be read:\n" + c("locked") + ": " +
                                          platform::errorText(EACCES)}));
    // Marking rewrites the status line; the note stays after the marks.
    child<QAction>(&w, "miMarkAll")->trigger();
    EXPECT_EQ(status(&w), "1 files 10 bytes; 1 folder could not be read");

    // The next scan reads everything: the status line says no more than before.
    startScan(w);
    EXPECT_EQ(status(&w), "2 tempfiles found");
    EXPECT_EQ(w.skippedCount(), 0);
    child<QAction>(&w, "miMarkAll")->trigger();
    EXPECT_EQ(status(&w), "2 files 30 bytes");
}
