#include "app/inifile.h"
#include "app/protection.h"
#include "app/shell.h"
#include "app/totals.h"
#include "app/zipsettings.h"
#include "delete/ui/frmdeldirectory.h"
#include "delete/ui/frmzipoptions.h"
#include "support/modalwindows.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"

#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Waits until the window's run has ended; false after five seconds.
bool waitForEnd(TfrmDelDirectory& w) {
    if (!w.running())
        return true;
    QEventLoop loop;
    QObject::connect(&w, &TfrmDelDirectory::runEnded, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    return !w.running();
}

class FolderWindow : public ::testing::Test {
protected:
    void SetUp() override {
        world.setDrives({"C"});
        const QStringList nonDelete = {world.path("c/apps/")};
        protection.build(&nonDelete, {}, QString(), QString());
        world.makeFile("c/victim/a.txt", "aa");
        world.makeFile("c/victim/sub/b.txt", "b");
        IniFile ini = settingsFile(); // the zip settings dialog reads its folder from here
        writeZipPath(ini, world.makeDir("zips"));
    }

    // Shows the window, clicks the button and waits for the run to end.
    void runWith(TfrmDelDirectory& w, QPushButton* button) {
        w.show();
        button->click();
        ASSERT_TRUE(waitForEnd(w));
    }

    SandboxWorld world;
    ProtectedFolders protection;
    ScriptedBoxes boxes;
};

TEST_F(FolderWindow, DeleteRunsReportsAndClosesWithOne) {
    TfrmDelDirectory w(nullptr, world.path("c/victim"), protection);
    runWith(w, w.btDelete());
    EXPECT_FALSE(QFileInfo::exists(world.path("c/victim")));
    EXPECT_EQ(boxes.texts(), QStringList{"Deleted 2 files for a savings of 3 bytes."});
    EXPECT_EQ(w.result(), 1);
    EXPECT_FALSE(w.recycled());
    EXPECT_EQ(w.pnlCount()->text(), "Count");
    EXPECT_EQ(readTotals(settingsFile()).ndelete, 2);
}

TEST_F(FolderWindow, AProtectedFolderIsRedAndAskedAboutAgain) {
    world.makeFile("c/apps/tool/x", "x");
    TfrmDelDirectory w(nullptr, world.path("c/apps"), protection);
    w.show();
    EXPECT_EQ(w.lblTop()->text(),
              "This folder should not be deleted since it is referenced in the registry");
    EXPECT_TRUE(w.lblTop()->styleSheet().contains("red"));
    boxes.answers = {QMessageBox::No};
    w.btDelete()->click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.texts()[0].startsWith("Warning: the folder or a sub-folder of the one to "
                                            "delete is marked NOT to be deleted because it is "
                                            "referenced in the registry.  You may not"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(QFileInfo::exists(world.path("c/apps/tool/x")));
}

TEST_F(FolderWindow, ZipWithoutDeleteKeepsTheFolder) {
    TfrmDelDirectory w(nullptr, world.path("c/victim"), protection);
    w.cbDelete()->setChecked(false);
    whenModalOpen<TfrmZipOptions>([](TfrmZipOptions* o) { o->btOK()->click(); });
    runWith(w, w.btZip());
    EXPECT_EQ(boxes.texts(), QStringList{"Zipped up 2 files"});
    EXPECT_TRUE(QFileInfo::exists(world.path("c/victim/sub/b.txt")));
    const QStringList zips = QDir(world.path("zips")).entryList({"Drive-C-FolderClean*.zip"});
    EXPECT_EQ(zips.size(), 1);
}

TEST_F(FolderWindow, CancelClosesWithTwoAndAbortsARun) {
    TfrmDelDirectory idle(nullptr, world.path("c/victim"), protection);
    idle.show();
    idle.BitBtn3()->click();
    EXPECT_EQ(idle.result(), 2);

    TfrmDelDirectory w(nullptr, world.path("c/victim"), protection);
    w.show();
    w.btDelete()->click();
    ASSERT_TRUE(w.running());
    boxes.answers = {QMessageBox::Yes};
    w.BitBtn3()->click(); // before the first step: nothing is deleted
    ASSERT_TRUE(waitForEnd(w));
    EXPECT_EQ(boxes.texts(), QStringList{"Really abort?  Folders may be partially deleted!"});
    EXPECT_EQ(w.result(), 2);
    EXPECT_TRUE(QFileInfo::exists(world.path("c/victim/a.txt")));
}

TEST_F(FolderWindow, TheHomeFolderIsRefused) {
    world.makeFile("home/notes.txt", "n");
    TfrmDelDirectory w(nullptr, world.path("home"), protection);
    w.show();
    w.btRecycle()->click();
    EXPECT_EQ(boxes.texts(), QStringList{"You cannot delete your home folder using Vastel 95"});
    EXPECT_TRUE(QFileInfo::exists(world.path("home/notes.txt")));
}

} // namespace

TEST_F(FolderWindow, AFolderHoldingTheProgramsArchivesAsksAndNoKeepsIt) {
    const QString zips = world.makeDir("c/victim/sub/zips");
    world.makeFile("c/victim/sub/zips/Drive-C-Duplicates08Dec261530.zip", "PK1");
    world.makeFile("c/victim/sub/zips/Drive-D-FileDates08Dec261531.zip", "PK2");
    world.makeFile("c/victim/sub/zips/holiday.zip", "PK3");
    shell::setDefaultZipFolder(zips);
    {
        TfrmDelDirectory w(nullptr, world.path("c/victim"), protection);
        w.show();
        boxes.answers = {QMessageBox::No};
        w.btDelete()->click();
        ASSERT_EQ(boxes.shown.size(), 1);
        EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Question);
        EXPECT_EQ(boxes.shown[0].text,
                  "The folder \"" + world.path("c/victim") +
                      "\" holds 2 archives that Vastel wrote into its zip folder.  They may hold "
                      "the only copies of the files zipped into them.\n\nDispose of the folder "
                      "with these archives?  No keeps them.");
        EXPECT_EQ(boxes.shown[0].defaultButton, QMessageBox::No);
        EXPECT_FALSE(w.running());
        EXPECT_EQ(QDir(zips).entryList(QDir::Files).size(), 3);

        // The trash is asked about as well (after its own question).
        boxes.answers = {QMessageBox::Yes, QMessageBox::No};
        w.btRecycle()->click();
        ASSERT_EQ(boxes.shown.size(), 3);
        EXPECT_TRUE(boxes.shown[2].text.contains("holds 2 archives"));
        EXPECT_FALSE(w.running());
        EXPECT_EQ(QDir(zips).entryList(QDir::Files).size(), 3);
    }
    // A folder beside the zip folder holds none of them: no question.
    boxes.shown.clear();
    {
        TfrmDelDirectory w(nullptr, world.path("c/victim/sub"), protection);
        shell::setDefaultZipFolder(world.path("c/elsewhere"));
        boxes.answers = {};
        runWith(w, w.btDelete());
        EXPECT_EQ(boxes.texts(), QStringList{"Deleted 4 files for a savings of 10 bytes."});
    }
    shell::setDefaultZipFolder(QString());
}

TEST_F(FolderWindow, YesDeletesTheFolderWithItsArchives) {
    const QString zips = world.makeDir("c/victim/zips");
    world.makeFile("c/victim/zips/Drive-C-Duplicates08Dec261530.zip", "PK1");
    shell::setDefaultZipFolder(zips);
    TfrmDelDirectory w(nullptr, world.path("c/victim"), protection);
    boxes.answers = {QMessageBox::Yes};
    runWith(w, w.btDelete());
    shell::setDefaultZipFolder(QString());
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_TRUE(boxes.shown[0].text.contains("holds 1 archive that"));
    EXPECT_FALSE(QFileInfo::exists(world.path("c/victim")));
}
