// The non-delete list window, and the main window's guard that follows the list.
#include "app/foldersfile.h"
#include "app/inifile.h"
#include "app/shell.h"
#include "app/shell/frmmain.h"
#include "app/ui/folderbrowser.h"
#include "delete/ui/frmnodelete.h"
#include "support/modalwindows.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class NoDelete : public ::testing::Test {
protected:
    void SetUp() override {
        folderbrowser::setBrowser([this](QWidget*, const QString& title, const QString& start) {
            browsed << title << start;
            return browserAnswers.isEmpty() ? QString() : browserAnswers.takeFirst();
        });
    }
    void TearDown() override {
        folderbrowser::setBrowser(nullptr);
        for (auto tool : {TfrmMain::Tool::Build, TfrmMain::Tool::Files})
            TfrmMain::setToolFactory(tool, nullptr);
    }
    QString storedWhen() { return settingsFile().readString("Folders", "When", "<none>"); }

    SandboxWorld world;
    ScriptedBoxes boxes;
    QStringList browserAnswers, browsed;
};

} // namespace

TEST_F(NoDelete, BuildReplacesTheListByTheRegistrysFolders) {
    const QString tools = world.makeDir("c/tools"), data = world.makeDir("c/Data");
    world.useRegistry(
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tool]\n\"Exec\"=\"" + tools.toUtf8() +
        "/run %1\"\n[HKEY_CURRENT_USER\\SOFTWARE\\Mine]\n\"Path\"=\"" + data.toUtf8() + "/\"\n");
    ASSERT_TRUE(writeFoldersFile({world.makeDir("c/by hand") + "/"}));
    TfrmNoDelete w;
    w.show();
    EXPECT_EQ(w.windowTitle(), "List of folders that should not be deleted");
    EXPECT_EQ(w.lblCount()->text(), "1 folders");
    EXPECT_EQ(w.lblWhen()->text(), "Not recorded");
    const QString today = QLocale().toString(QDate::currentDate(), QLocale::LongFormat);
    EXPECT_EQ(w.lblToday()->text(), today);

    boxes.answers = {QMessageBox::No, QMessageBox::Yes};
    w.btBuild()->click(); // declined: nothing happens
    EXPECT_EQ(w.folders(), QStringList({world.path("c/by hand/")}));
    w.btBuild()->click();
    EXPECT_EQ(boxes.texts(), QStringList(2, "Vastel will now scan the registry for references to "
                                            "folders.  It may take a few minutes.  Continue? "));
    EXPECT_EQ(w.folders(), QStringList({data + "/", tools + "/"}));
    EXPECT_EQ(w.lblCount()->text(), "2 folders");
    EXPECT_TRUE(w.btBuild()->isEnabled());
    // The date of the build is recorded at once.
    EXPECT_TRUE(w.lblWhen()->text().startsWith(today + " "));
    EXPECT_EQ(storedWhen(), w.lblWhen()->text());
    w.btClose()->click();
    EXPECT_EQ(readFoldersFile().value(), QStringList({data + "/", tools + "/"}));
}

TEST_F(NoDelete, AddAndDeleteByHandAndCloseStoresTheListSorted) {
    ASSERT_TRUE(writeFoldersFile({"/m/", "/b/", "/c/"}));
    TfrmNoDelete w;
    w.show();
    browserAnswers = {"/z/picked", "/A/slashed/", "/m/", ""}; // the last one cancelled
    for (int i = 0; i < 4; ++i)
        w.btAdd()->click();
    EXPECT_EQ(browsed.mid(0, 2),
              QStringList({"Select a folder that won't be deleted", world.path("c")}));
    EXPECT_EQ(w.folders(), QStringList({"/m/", "/b/", "/c/", "/z/picked/", "/A/slashed/"}));

    w.btDel()->click();
    EXPECT_EQ(boxes.shown.last().kind, msgbox::Kind::Error);
    EXPECT_EQ(boxes.shown.last().text, "Select one or more folders from the list above");
    w.ListBox1()->item(1)->setSelected(true);
    w.ListBox1()->item(2)->setSelected(true);
    boxes.answers = {QMessageBox::Cancel, QMessageBox::Ok};
    w.btDel()->click();
    EXPECT_EQ(boxes.shown.last().text, "Really delete the selected folders?");
    EXPECT_EQ(boxes.shown.last().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(w.folders().size(), 5);
    w.btDel()->click();
    EXPECT_EQ(w.lblCount()->text(), "3 folders");
    w.close(); // the close box stores the list too
    EXPECT_EQ(SandboxWorld::readBytes(foldersFilePath()), "/A/slashed/\r\n/m/\r\n/z/picked/\r\n");
    EXPECT_EQ(storedWhen(), "<none>"); // only a build records a date
}

TEST_F(NoDelete, NothingIsWrittenWithoutChanges) {
    const QString file = world.makeFile("data/folders.txt", "/z/\n/a/\n"); // unsorted, LF ends
    {
        TfrmNoDelete w;
        w.show();
        boxes.answers = {QMessageBox::No, QMessageBox::Cancel};
        w.btBuild()->click();
        w.ListBox1()->item(0)->setSelected(true);
        w.btDel()->click();
        w.btAdd()->click(); // cancelled
        w.btClose()->click();
    }
    EXPECT_EQ(SandboxWorld::readBytes(file), "/z/\n/a/\n");
    EXPECT_FALSE(QFileInfo::exists(settingsFile().path()));
}

TEST_F(NoDelete, EmptyingTheListDeletesItsFileAndTheGuardedToolsRefuseAgain) {
    int filesOpened = 0;
    TfrmMain::setToolFactory(TfrmMain::Tool::Files, [&filesOpened](TfrmMain& main) -> QWidget* {
        ++filesOpened;
        auto* d = new QDialog(&main);
        QTimer::singleShot(0, d, &QDialog::accept);
        return d;
    });
    TfrmMain::setToolFactory(TfrmMain::Tool::Build,
                             [](TfrmMain& main) -> QWidget* { return new TfrmNoDelete(&main); });
    ASSERT_TRUE(writeFoldersFile({world.path("c/a/"), world.path("c/b/")}));
    TfrmMain main;
    main.show();
    main.button("btFiles")->click();
    EXPECT_EQ(filesOpened, 1);

    boxes.answers = {QMessageBox::Ok};
    whenModalOpen<TfrmNoDelete>([](TfrmNoDelete* w) {
        w->ListBox1()->selectAll();
        w->btDel()->click();
        w->btClose()->click();
    });
    main.button("btBuild")->click();
    EXPECT_FALSE(foldersFileExists());
    main.button("btFiles")->click();
    EXPECT_EQ(filesOpened, 1);
    EXPECT_EQ(boxes.shown.last().text,
              "The list of deletion exceptions has not been created yet.  Click on the Build "
              "Non-Delete List button to initialize.");
}

TEST_F(NoDelete, ALineNamingNoFolderIsShownAsWrittenWithAWarning) {
    const QString keep = world.makeDir("c/keep");
    world.makeFile("data/folders.txt", (keep + "/ \r\n" + keep + "/\r\n").toUtf8());
    TfrmNoDelete w;
    w.show();
    EXPECT_EQ(w.folders(), QStringList({keep + "/ ", keep + "/"}));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Warning);
    EXPECT_TRUE(boxes.shown[0].text.startsWith("The folder \"" + keep + "/ \" of the non-delete"));
    EXPECT_TRUE(boxes.shown[0].text.endsWith("The line has blanks before or after the name \"" +
                                             keep + "/\"."));
}
