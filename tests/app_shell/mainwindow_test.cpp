#include "app/foldersfile.h"
#include "app/inifile.h"
#include "app/shell.h"
#include "app/shell/frmabout.h"
#include "app/shell/frmmain.h"
#include "app/ui/frmstandby.h"
#include "app/ui/messagebox.h"
#include "app/ui/shellopen.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const char* kNoListMessage = "The list of deletion exceptions has not been created yet.  Click on "
                             "the Build Non-Delete List button to initialize.";

// A stand-in tool window that closes itself as soon as it runs.
struct FakeTool {
    int opened = 0;
    int modeSeen = -1;
    TfrmMain::ToolFactory factory() {
        return [this](TfrmMain& main) -> QWidget* {
            ++opened;
            modeSeen = main.duplicateMode();
            auto* d = new QDialog(&main);
            QTimer::singleShot(0, d, &QDialog::accept);
            return d;
        };
    }
};

class MainWindow : public ::testing::Test {
protected:
    void TearDown() override {
        for (auto tool : {TfrmMain::Tool::Duplicate, TfrmMain::Tool::FileHog, TfrmMain::Tool::Files,
                          TfrmMain::Tool::Zip, TfrmMain::Tool::Build})
            TfrmMain::setToolFactory(tool, nullptr);
    }
    SandboxWorld world;
    ScriptedBoxes boxes;
};

} // namespace

TEST_F(MainWindow, ButtonsCaptionsAndHints) {
    TfrmMain w;
    EXPECT_EQ(w.windowTitle(), "Vastel '95");
    struct Expect {
        const char* name;
        const char* caption;
        const char* hint;
    };
    const Expect expected[] = {
        {"btDuplicate", "&Duplicate files", "Locate duplicate files"},
        {"btFileHog", "&File hogs", "Locate large files"},
        {"btFiles", "Files &accessed", "Locate old and recent files"},
        {"btDirHogs", "Folder &hogs", "Locate folders taking the most space"},
        {"btStatistic", "&Statistics", "Compute disk statistics"},
        {"btBrowse", "&Browse", "Browse through disks/folders"},
        {"btClean", "&Quick clean", "Quickly clean up temporary files"},
        {"btClearCache", "&Clear internet files", "Clean up web browser cache folders"},
        {"btZip", "&Unzip archive files",
         "Unzip files that have been zipped up by Vastel (compressed)"},
        {"btBuild", "Build &non-delete list",
         "Build list of folders that will not be deleted in Vastel without warning"},
        {"btReach", "Ab&out", ""},
        {"btHelp", "H&elp", ""},
        {"btClose", "E&xit", "Quit and close "},
    };
    for (const Expect& e : expected) {
        QPushButton* b = w.findChild<QPushButton*>(e.name);
        ASSERT_NE(b, nullptr) << e.name;
        EXPECT_EQ(b->text(), e.caption);
        EXPECT_EQ(b->toolTip(), e.hint);
    }
    // Tools that are not there stay visible but disabled.
    EXPECT_FALSE(w.button("btDuplicate")->isEnabled());
    EXPECT_TRUE(w.button("btReach")->isEnabled());
}

TEST_F(MainWindow, GuardedLaunchNeedsTheNonDeleteList) {
    FakeTool dup;
    TfrmMain::setToolFactory(TfrmMain::Tool::Duplicate, dup.factory());
    TfrmMain w;
    w.show();
    ASSERT_TRUE(w.button("btDuplicate")->isEnabled());

    w.button("btDuplicate")->click();
    EXPECT_EQ(dup.opened, 0);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Error);
    EXPECT_EQ(boxes.shown[0].text, kNoListMessage);

    // Once the list exists (and the lists are rebuilt) the tool opens.
    ASSERT_TRUE(writeFoldersFile({world.makeDir("c/keep") + "/"}));
    w.GetSearchPath();
    w.button("btDuplicate")->click();
    EXPECT_EQ(dup.opened, 1);
    EXPECT_EQ(dup.modeSeen, 1);
    EXPECT_EQ(boxes.shown.size(), 1);
}

TEST_F(MainWindow, FileHogsSetTheModeAndPlainLaunchesNeedNoList) {
    FakeTool hogs, unzip, build;
    TfrmMain::setToolFactory(TfrmMain::Tool::FileHog, hogs.factory());
    TfrmMain::setToolFactory(TfrmMain::Tool::Zip, unzip.factory());
    TfrmMain::setToolFactory(TfrmMain::Tool::Build, build.factory());
    ASSERT_TRUE(writeFoldersFile({world.makeDir("c/keep") + "/"}));
    TfrmMain w;
    w.show();
    w.button("btFileHog")->click();
    EXPECT_EQ(hogs.modeSeen, 0);

    // Without the list, unzipping and building the list still open.
    ASSERT_TRUE(QFile::remove(foldersFilePath()));
    w.button("btZip")->click();
    EXPECT_EQ(unzip.opened, 1);
    // Building the list rebuilds the lists afterwards: the guard follows at once.
    EXPECT_FALSE(shell::protection().listNotBuilt());
    w.button("btBuild")->click();
    EXPECT_EQ(build.opened, 1);
    EXPECT_TRUE(shell::protection().listNotBuilt());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(MainWindow, ShowingReadsTheZipFolderAndClearsTheLookupCache) {
    IniFile ini = settingsFile();
    ASSERT_TRUE(ini.writeString("ZipFile", "Path", world.path("c/archives")));
    TfrmMain w;
    w.show();
    EXPECT_EQ(shell::defaultZipFolder(), world.path("c/archives"));

    ASSERT_TRUE(QFile::remove(settingsFile().path()));
    w.getDefaultZipPath();
    EXPECT_EQ(shell::defaultZipFolder(), world.path("home")); // the home folder stands for C:
}

TEST_F(MainWindow, StandByWindowClearsTheLookupCache) {
    TfrmMain w;
    w.show();
    ProtectedFolders& p = shell::protection();
    p.lookup(world.path("c/a.txt"), true);
    p.lookup(world.path("c/b.txt"), true);
    const int before = p.searches();
    TfrmStandBy standBy;
    EXPECT_EQ(standBy.windowTitle(), "Loading Files");
    EXPECT_EQ(standBy.bar()->maximum(), 100);
    standBy.show();
    p.lookup(world.path("c/c.txt"), true);
    EXPECT_EQ(p.searches(), before + 1);
    p.lookup(world.path("c/d.txt"), true);
    standBy.hide();
    p.lookup(world.path("c/e.txt"), true);
    EXPECT_EQ(p.searches(), before + 2);
}

TEST_F(MainWindow, AboutWindowAndItsWebButton) {
    TfrmAbout about;
    EXPECT_EQ(about.windowTitle(), "How to contact us");
    EXPECT_EQ(about.btWeb()->text(), "Quillon Home Page");
    EXPECT_EQ(about.btWeb()->toolTip(), "Launch your browser to Quillon Home Page");

    QUrl opened;
    shellopen::setOpener([&](const QUrl& url) {
        opened = url;
        return true;
    });
    about.btWeb()->click();
    EXPECT_TRUE(opened.isLocalFile());
    EXPECT_TRUE(opened.toLocalFile().startsWith(world.root()));
    EXPECT_TRUE(QFile::exists(opened.toLocalFile()));
    EXPECT_TRUE(boxes.shown.isEmpty());

    shellopen::setOpener([](const QUrl&) { return false; });
    about.btWeb()->click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Error);
    EXPECT_EQ(boxes.shown[0].text, "Unable to start web browser. Make sure you have it properly "
                                   "set-up on your system.");
    shellopen::setOpener(nullptr);
}

TEST_F(MainWindow, HelpOpensItsOwnWindowAtTheFirstTopic) {
    TfrmMain w;
    w.show();
    w.button("btHelp")->click();
    QDialog* help = w.findChild<QDialog*>("HelpWindow");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    help->close();
}

TEST_F(MainWindow, ANonDeleteListLineNamingNoFolderIsWarnedAboutOnce) {
    const QString keep = world.makeDir("c/keep");
    const QString lines = " " + keep + "/\r\n" + keep + "/\r\n" + world.path("c/gone/") + "\r\n";
    world.makeFile("data/folders.txt", lines.toUtf8());
    TfrmMain w;
    w.show();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Warning);
    const QStringList said = boxes.shown[0].text.split('\n');
    ASSERT_EQ(said.size(), 2);
    EXPECT_EQ(said[0], "The folder \" " + keep + "/\" of the non-delete list (" +
                           foldersFilePath() +
                           ") does not exist, so it protects nothing.  The line has blanks "
                           "before or after the name \"" +
                           keep + "/\".");
    EXPECT_TRUE(said[1].startsWith("The folder \"" + world.path("c/gone/") + "\""));
    // The line is kept as written.
    EXPECT_EQ(readFoldersFile().value().first(), " " + keep + "/");

    // Read again, the same list says nothing new.
    w.GetSearchPath();
    w.hide();
    w.show();
    EXPECT_EQ(boxes.shown.size(), 1);
    // Changed, it is warned about again; mended, it is quiet.
    ASSERT_TRUE(writeFoldersFile({world.path("c/other/")}));
    w.GetSearchPath();
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_TRUE(boxes.shown[1].text.contains(world.path("c/other/")));
    ASSERT_TRUE(writeFoldersFile({keep + "/"}));
    w.GetSearchPath();
    EXPECT_EQ(boxes.shown.size(), 2);
}
