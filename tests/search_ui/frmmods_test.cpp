#include "app/format.h"
#include "browse/ui/frmdetails.h"
#include "browse/ui/frmfind.h"
#include "browse/ui/frmview.h"
#include "delete/ui/frmreallydelete.h"
#include "search/ui/frmmods.h"
#include "support/children.h"
#include "support/modalwindows.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class ModsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        world.setDrives({"C"});
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            world.makeFile(QStringLiteral("c/old/%1").arg(name), "12345");
        world.makeFile("c/.hidden/d.txt", "x");
    }
    void start(TfrmMods& w) { startScan(w, child<QPushButton>(&w, "btOK")); }
    QString status(TfrmMods& w) { return child<QLabel>(&w, "StatusLine")->text(); }

    SandboxWorld world;
    ScriptedBoxes boxes;
    dates::SortDirections directions;
};

TEST_F(ModsWindow, FindsMarksAndStartsAfresh) {
    TfrmMods w(nullptr, directions);
    w.show();
    start(w); // today, in between, last accessed: the files were just made
    EXPECT_EQ(w.rowCount(), 3);
    EXPECT_EQ(status(w), "Found : 3");
    auto* grid = child<QTableView>(&w, "grid");
    grid->setCurrentIndex(grid->model()->index(0, 0));
    child<QPushButton>(&w, "btMark")->click();
    EXPECT_EQ(status(w), "1 files 5 bytes");
    // A file deleted meanwhile changes the list but not the counters.
    QFile::remove(dates::rowPath(w.resultGrid(), 2));
    child<QPushButton>(&w, "btMark")->click();
    EXPECT_EQ(status(w), "1 files 5 bytes");
    EXPECT_EQ(w.marks().files().size(), 2);
    EXPECT_TRUE(child<QPushButton>(&w, "btDelete")->isEnabled());

    start(w);
    EXPECT_EQ(w.marks().count(), 0);
    EXPECT_FALSE(child<QPushButton>(&w, "btDelete")->isEnabled());
    EXPECT_FALSE(w.resultGrid().isMarked(1));
}

// A huge size and the dates show whole while the folder keeps its width; the Type column names
// files by their whole name where the extension says nothing.
TEST_F(ModsWindow, SizesAndDatesShowWholeAndTypesComeFromTheName) {
    const QString lib = world.makeFile("c/lib/libfoo.so.5", "x");
    ASSERT_TRUE(QFile::resize(lib, 7069451234567LL)); // sparse: some 7 TB
    TfrmMods w(nullptr, directions);
    w.show();
    auto* v = child<QTableView>(&w, "grid");
    const int folderWidth = v->columnWidth(dates::mcFolder);
    start(w);
    ASSERT_EQ(w.rowCount(), 4);
    int row = 1;
    while (row < 4 && w.resultGrid().cell(dates::mcFilename, row) != "libfoo.so.5")
        ++row;
    const QMimeDatabase mime;
    EXPECT_EQ(w.resultGrid().cell(dates::mcType, row),
              mime.mimeTypeForName("application/x-sharedlib").comment());
    const int margins = 2 * (v->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, v) + 1);
    for (int c : {dates::mcAccessed, dates::mcCreated, dates::mcModified, dates::mcSize})
        EXPECT_GE(v->columnWidth(c),
                  v->fontMetrics().horizontalAdvance(w.resultGrid().cell(c, row)) + margins)
            << c;
    EXPECT_EQ(v->columnWidth(dates::mcFolder), folderWidth);
}

TEST_F(ModsWindow, ADateOutsideTheFilesFindsNothingAndABadDateStopsTheScan) {
    TfrmMods w(nullptr, directions);
    w.show();
    child<QRadioButton>(&w, "rgWhen0")->setChecked(true); // on or before
    EXPECT_FALSE(child<QLineEdit>(&w, "dtEnd")->isVisible());
    child<QLineEdit>(&w, "dtStart")
        ->setText(QLocale().toString(QDate(1999, 1, 1), shortDateFormat()));
    start(w);
    EXPECT_EQ(boxes.texts(), QStringList{"No files found."});

    child<QLineEdit>(&w, "dtStart")->setText("31/31/31x");
    start(w);
    EXPECT_FALSE(w.scanning());
    EXPECT_EQ(boxes.texts().last(), "Invalid start date");
}

TEST_F(ModsWindow, CleanHandsTheMarksOverAndACancelKeepsTheWindow) {
    TfrmMods w(nullptr, directions);
    w.show();
    start(w);
    child<QAction>(&w, "miMarkAll")->trigger();
    EXPECT_EQ(status(w), "3 files 15 bytes");
    QStringList handed;
    whenModalOpen<TfrmReallyDelete>([&handed](TfrmReallyDelete* d) {
        handed = d->deletionPanel();
        d->reject();
    });
    child<QPushButton>(&w, "btDelete")->click();
    EXPECT_EQ(handed.size(), 3);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.printTitle().left(27), "Files Last accessed between");
}

TEST_F(ModsWindow, ViewAndDetailsOpenOnTheSelectedFile) {
    TfrmFind find(nullptr);
    TfrmMods w(nullptr, directions, &find);
    w.show();
    start(w);
    auto* grid = child<QTableView>(&w, "grid");
    grid->setCurrentIndex(grid->model()->index(1, 0));
    const QString selected = dates::rowPath(w.resultGrid(), 2);
    QString viewed, detailed;
    whenModalOpen<TfrmView>([&viewed](TfrmView* v) {
        viewed = v->windowTitle();
        v->close();
    });
    child<QAction>(&w, "miView")->trigger();
    whenModalOpen<TfrmDetails>([&detailed](TfrmDetails* d) {
        detailed = d->windowTitle();
        d->close();
    });
    child<QPushButton>(&w, "btDetails")->click();
    EXPECT_TRUE(viewed.contains(QFileInfo(selected).fileName())) << viewed.toStdString();
    EXPECT_FALSE(detailed.isEmpty());

    // Without the find dialog the two stay disabled.
    TfrmMods plain(nullptr, directions);
    EXPECT_FALSE(child<QAction>(&plain, "miView")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(&plain, "btDetails")->isEnabled());
}

} // namespace
