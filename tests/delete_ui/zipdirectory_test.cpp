#include "delete/ui/frmgetfoldername.h"
#include "delete/ui/frmzipdirectory.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

const char* kQuestion = "You are not restoring into the original root folder.  The files will not "
                        "be restored to their original locations. Is this OK?";

QString canonical(const QString& path) {
    return QFileInfo(path).canonicalFilePath();
}

class ZipDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        before = QDir::currentPath();
        world.setDrives({"C", "D"});
        c = world.path("c");
        d = world.path("d");
        world.makeDir("d/RESTORE");
    }
    void TearDown() override { QDir::setCurrent(before); }

    // Answers the next "New folder name" dialog with the name (or cancels it when null) and
    // records its caption.
    void answerFolderName(const QString& name) {
        QTimer::singleShot(0, [this, name] {
            auto* ask = qobject_cast<TfrmGetFolderName*>(QApplication::activeModalWidget());
            if (!ask)
                return;
            askCaption = ask->windowTitle();
            ask->Edit1()->setText(name);
            if (name.isNull())
                ask->btCancel()->click();
            else
                ask->btOK()->click();
        });
    }

    QString before, c, d, askCaption;
    SandboxWorld world;
    ScriptedBoxes boxes;
};

} // namespace

TEST_F(ZipDirectory, WindowControls) {
    TfrmZipDirectory dlg;
    EXPECT_EQ(dlg.objectName(), "TfrmZipDirectory");
    EXPECT_EQ(dlg.windowTitle(), "Destination folder");
    EXPECT_EQ(dlg.Button1()->text(), "OK");
    EXPECT_EQ(dlg.Button2()->text(), "Cancel");
    EXPECT_EQ(dlg.Button3()->text(), "&Create sub-folder...");
    EXPECT_EQ(dlg.DLB()->objectName(), "DLB");
    EXPECT_EQ(dlg.DirLabel()->objectName(), "DirLabel");
    EXPECT_EQ(dlg.lblZip()->objectName(), "lblZip");
    ASSERT_EQ(dlg.DriveList()->count(), 2);
    EXPECT_EQ(dlg.DriveList()->itemText(1), "d: [" + d + "]");
    EXPECT_EQ(TfrmGetFolderName().windowTitle(), "New folder name");
}

TEST_F(ZipDirectory, ArchiveOfDriveDProposesItsRootAndTakesItWithoutAQuestion) {
    TfrmZipDirectory dlg;
    dlg.setArchivePath(world.path("zips/Drive-D-TempClean08Dec261530.zip"));
    dlg.show();
    EXPECT_EQ(dlg.proposedLetter(), QChar('D'));
    EXPECT_EQ(dlg.proposedRoot(), d);
    EXPECT_EQ(dlg.folder(), d);
    EXPECT_EQ(dlg.DirLabel()->text(), d);
    EXPECT_EQ(dlg.DriveList()->currentIndex(), 1);
    EXPECT_EQ(canonical(QDir::currentPath()), d);

    dlg.Button1()->click();
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
    // Closing makes the folder that was current before current again.
    EXPECT_EQ(canonical(QDir::currentPath()), canonical(before));
}

TEST_F(ZipDirectory, OtherFoldersAskAndNoKeepsTheDialogOpen) {
    TfrmZipDirectory dlg;
    dlg.setArchivePath(world.path("zips/Drive-D-TempClean08Dec261530.zip"));
    dlg.show();

    dlg.setFolder(d + "/RESTORE");
    EXPECT_EQ(dlg.DirLabel()->text(), d + "/RESTORE");
    boxes.answers = {QMessageBox::No};
    dlg.Button1()->click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Question);
    EXPECT_EQ(boxes.shown[0].text, kQuestion);
    EXPECT_TRUE(dlg.isVisible());

    dlg.setFolder(c);
    EXPECT_EQ(dlg.DriveList()->currentIndex(), 0);
    boxes.answers = {QMessageBox::No};
    dlg.Button1()->click();
    EXPECT_EQ(boxes.shown.size(), 2);
    EXPECT_TRUE(dlg.isVisible());

    boxes.answers = {QMessageBox::Yes};
    dlg.Button1()->click();
    EXPECT_EQ(boxes.shown.size(), 3);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.folder(), c);
}

TEST_F(ZipDirectory, NameWithoutDriveProposesTheCurrentDriveAndAlwaysAsks) {
    const QString sub = world.makeDir("d/work");
    QDir::setCurrent(sub);
    TfrmZipDirectory dlg;
    dlg.setArchivePath(world.path("zips/holiday-photos.zip"));
    dlg.show();
    EXPECT_TRUE(dlg.proposedLetter().isNull());
    EXPECT_EQ(dlg.folder(), d);
    EXPECT_EQ(canonical(QDir::currentPath()), d);

    boxes.answers = {QMessageBox::No};
    dlg.Button1()->click();
    EXPECT_EQ(boxes.texts(), QStringList({kQuestion}));
    EXPECT_TRUE(dlg.isVisible());
    dlg.Button2()->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(canonical(QDir::currentPath()), sub);
}

TEST_F(ZipDirectory, CurrentFolderOnNoDriveFallsBackToDriveC) {
    TfrmZipDirectory dlg;
    dlg.setArchivePath("archive.zip");
    dlg.show();
    EXPECT_EQ(dlg.folder(), c);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(ZipDirectory, ArchiveOfAMissingDriveIsReportedAndTheDialogStaysUsable) {
    TfrmZipDirectory dlg;
    dlg.setArchivePath("/zips/Drive-Q-TempClean08Dec261530.zip");
    dlg.show();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Error);
    EXPECT_EQ(boxes.shown[0].text, "Drive Q: does not exist.");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(canonical(QDir::currentPath()), canonical(before));

    // No folder can be drive Q's root, so OK asks.
    dlg.setFolder(d);
    boxes.answers = {QMessageBox::Yes};
    dlg.Button1()->click();
    EXPECT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST_F(ZipDirectory, ChoosingADriveMovesTheTreeToItsRoot) {
    TfrmZipDirectory dlg;
    dlg.setArchivePath("Drive-D-x.zip");
    dlg.show();
    emit dlg.DriveList()->activated(0);
    EXPECT_EQ(dlg.folder(), c);
    EXPECT_EQ(dlg.DirLabel()->text(), c);
}

TEST_F(ZipDirectory, CreateSubFolderMakesTheFolderAndMissingOnesOnTheWay) {
    TfrmZipDirectory dlg;
    dlg.setArchivePath("Drive-D-x.zip");
    dlg.show();
    dlg.setFolder(d + "/RESTORE");

    answerFolderName("2024/march");
    dlg.Button3()->click();
    EXPECT_EQ(askCaption, "Create Sub-folder");
    EXPECT_TRUE(QFileInfo(d + "/RESTORE/2024/march").isDir());
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(dlg.folder(), d + "/RESTORE"); // the chosen folder stays chosen

    // Cancel and an empty name create nothing.
    const int before = QDir(d + "/RESTORE").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
    answerFolderName(QString());
    dlg.Button3()->click();
    answerFolderName("");
    dlg.Button3()->click();
    EXPECT_EQ(QDir(d + "/RESTORE").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), before);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(ZipDirectory, FolderThatCannotBeCreatedShowsTheSystemsMessage) {
    world.makeFile("d/RESTORE/taken", "a file");
    TfrmZipDirectory dlg;
    dlg.setArchivePath("Drive-D-x.zip");
    dlg.show();
    dlg.setFolder(d + "/RESTORE");
    answerFolderName("taken/sub");
    dlg.Button3()->click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Error);
    EXPECT_TRUE(boxes.shown[0].text.startsWith(d + "/RESTORE/taken/sub: "))
        << boxes.shown[0].text.toStdString();
    EXPECT_GT(boxes.shown[0].text.size(), (d + "/RESTORE/taken/sub: ").size());
    EXPECT_TRUE(dlg.isVisible());
}
