#include "app/inifile.h"
#include "app/shell.h"
#include "app/ui/folderbrowser.h"
#include "app/zipsettings.h"
#include "delete/ui/frmzipoptions.h"
#include "support/sandbox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class ZipOptions : public ::testing::Test {
protected:
    void SetUp() override {
        world.setDrives({"C", "D"});
        folderbrowser::setBrowser([this](QWidget*, const QString& title, const QString& start) {
            browserTitle = title;
            browserStart = start;
            return browserAnswer;
        });
    }
    void TearDown() override { folderbrowser::setBrowser(nullptr); }

    QString storedPath() { return settingsFile().readString("ZipFile", "Path", "<none>"); }
    QString storedComment() { return settingsFile().readString("ZipFile", "Comment", "<none>"); }

    SandboxWorld world;
    QString browserAnswer, browserTitle, browserStart;
};

} // namespace

TEST_F(ZipOptions, WindowTextsAndControls) {
    TfrmZipOptions dlg;
    EXPECT_EQ(dlg.objectName(), "TfrmZipOptions");
    EXPECT_EQ(dlg.windowTitle(), "Archive Zip File Options");
    EXPECT_TRUE(dlg.Edit1()->isReadOnly());
    EXPECT_EQ(dlg.Edit2()->maxLength(), 80);
    EXPECT_EQ(dlg.btOK()->text(), "OK");
    EXPECT_EQ(dlg.btCancel()->text(), "Cancel");
    QStringList labels;
    for (const QLabel* l : dlg.findChildren<QLabel*>())
        labels << l->text();
    for (const char* text :
         {"Store Zip Archive Files in this folder:",
          "Comment to be inserted into Archive Zip file:",
          "Note: Comments make it much easier to identify archive zip files later.",
          "Note: the zip folder can be on the network on a different machine!"})
        EXPECT_TRUE(labels.contains(text)) << text;
}

TEST_F(ZipOptions, FreshWorldShowsTheDefaultFolderAndNoComment) {
    TfrmZipOptions dlg;
    dlg.show();
    // The home folder stands for the root of drive C, as everywhere else in the program.
    EXPECT_EQ(dlg.Edit1()->text(), world.path("home"));
    EXPECT_EQ(dlg.Edit2()->text(), "");
    EXPECT_EQ(shell::defaultZipFolder(), world.path("home"));
    EXPECT_EQ(dlg.focusWidget(), dlg.Edit2());
    dlg.btOK()->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(storedPath(), world.path("home"));
}

TEST_F(ZipOptions, ShowingReadsTheStoredFolderAndComment) {
    IniFile ini = settingsFile();
    writeZipPath(ini, world.path("d"));
    writeZipComment(ini, "Spring cleaning");
    shell::setDefaultZipFolder("stale");
    TfrmZipOptions dlg;
    dlg.show();
    EXPECT_EQ(dlg.Edit1()->text(), world.path("d"));
    EXPECT_EQ(dlg.Edit2()->text(), "Spring cleaning");
    EXPECT_EQ(shell::defaultZipFolder(), world.path("d"));
}

TEST_F(ZipOptions, CommentIsCutAtEightyCharacters) {
    TfrmZipOptions dlg;
    dlg.show();
    dlg.Edit2()->setText(QString(100, 'a'));
    EXPECT_EQ(dlg.Edit2()->text().size(), 80);
    dlg.Edit2()->insert("more");
    EXPECT_EQ(dlg.Edit2()->text().size(), 80);
    dlg.btOK()->click();
    EXPECT_EQ(dlg.comment(), QString(80, 'a'));
    EXPECT_EQ(storedComment(), QString(80, 'a'));
}

TEST_F(ZipOptions, FolderButtonBrowsesFromTheShownFolder) {
    TfrmZipOptions dlg;
    dlg.show();
    browserAnswer = world.path("d");
    dlg.SpeedButton1()->click();
    EXPECT_EQ(browserTitle, "Location of archive zip files");
    EXPECT_EQ(browserStart, world.path("home"));
    EXPECT_EQ(dlg.Edit1()->text(), world.path("d"));

    // A cancelled browser leaves the folder as it was.
    browserAnswer.clear();
    dlg.SpeedButton1()->click();
    EXPECT_EQ(browserStart, world.path("d"));
    EXPECT_EQ(dlg.Edit1()->text(), world.path("d"));
}

TEST_F(ZipOptions, EveryWayOfClosingSavesFolderAndComment) {
    {
        TfrmZipOptions dlg;
        dlg.show();
        browserAnswer = world.path("d");
        dlg.SpeedButton1()->click();
        dlg.Edit2()->setText("Kept although cancelled");
        dlg.btCancel()->click();
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_EQ(dlg.comment(), "Kept although cancelled");
    }
    EXPECT_EQ(storedPath(), world.path("d"));
    EXPECT_EQ(storedComment(), "Kept although cancelled");
    EXPECT_EQ(shell::defaultZipFolder(), world.path("d"));

    {
        TfrmZipOptions dlg;
        dlg.show();
        dlg.Edit2()->setText("Closed by the close box");
        dlg.close();
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
    }
    EXPECT_EQ(storedComment(), "Closed by the close box");
}

TEST_F(ZipOptions, ADialogNeverShownStoresNothing) {
    {
        TfrmZipOptions dlg;
        dlg.reject();
    }
    EXPECT_EQ(storedPath(), "<none>");
    EXPECT_EQ(storedComment(), "<none>");
}
