// The non-delete list window, and the main window's guard that follows the list.
#include "app/foldersfile.h"
#include "app/inifile.h"
#include "app/shell.h"
#include "app/ui/folderbrowser.h"
#include "app/ui/frmmain.h"
#include "delete/ui/frmnodelete.h"
#include "support/modalwindows.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const char* kBuildQuestion = "Vastel will now scan the registry for references to folders.  It "
                             "may take a few minutes.  Continue? ";

// What the window showed whenever its heading was painted.
struct PaintWatch : QObject {
    explicit PaintWatch(TfrmNoDelete& w) : window(w) { w.lblHeading()->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const QCursor* cursor = QApplication::overrideCursor();
            seen << window.lblHeading()->text() + "|" +
                        (window.btBuild()->isEnabled() ? "enabled" : "disabled") + "|" +
                        (cursor && cursor->shape() == Qt::WaitCursor ? "wait" : "normal");
        }
        return false;
    }
    TfrmNoDelete& window;
    QStringList seen;
};

class NoDelete : public ::testing::Test {
protected:
    void SetUp() override {
        folderbrowser::setBrowser([this](QWidget*, const QString& title, const QString& start) {
            browserTitle = title;
            browserStart = start;
            return browserAnswer;
        });
    }
    void TearDown() override {
        folderbrowser::setBrowser(nullptr);
        TfrmMain::setToolFactory(TfrmMain::Tool::Build, nullptr);
        TfrmMain::setToolFactory(TfrmMain::Tool::Files, nullptr);
    }

    QString storedWhen() { return settingsFile().readString("Folders", "When", "<none>"); }
    static void selectRows(TfrmNoDelete& w, const QList<int>& rows) {
        w.ListBox1()->clearSelection();
        for (int row : rows)
            w.ListBox1()->item(row)->setSelected(true);
    }

    SandboxWorld world;
    ScriptedBoxes boxes;
    QString browserAnswer, browserTitle, browserStart;
};

} // namespace

TEST_F(NoDelete, ShowingReadsTheListAndItsDate) {
    ASSERT_TRUE(writeFoldersFile({"/b/", "/a/"}));
    TfrmNoDelete w;
    EXPECT_EQ(w.objectName(), "TfrmNoDelete");
    EXPECT_EQ(w.windowTitle(), "List of folders that should not be deleted");
    EXPECT_EQ(w.ListBox1()->selectionMode(), QAbstractItemView::ExtendedSelection);
    w.show();
    EXPECT_EQ(w.folders(), QStringList({"/b/", "/a/"})); // as stored
    EXPECT_EQ(w.lblCount()->text(), "2 folders");
    EXPECT_EQ(w.lblWhen()->text(), "Not recorded");
    EXPECT_EQ(w.lblToday()->text(), QLocale().toString(QDate::currentDate(), QLocale::LongFormat));
}

TEST_F(NoDelete, BuildReplacesTheListByTheRegistrysFolders) {
    const QString tools = world.makeDir("c/tools");
    const QString data = world.makeDir("c/Data");
    world.useRegistry("REGEDIT4\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tool]\n"
                      "\"Exec\"=\"" +
                      tools.toUtf8() +
                      "/run %1\"\n"
                      "[HKEY_CURRENT_USER\\SOFTWARE\\Mine]\n"
                      "\"Path\"=\"" +
                      data.toUtf8() +
                      "/\"\n"
                      "\"Exec\"=\"" +
                      world.path("c/gone/run").toUtf8() + "\"\n");
    ASSERT_TRUE(writeFoldersFile({world.path("c/by hand/")}));
    TfrmNoDelete w;
    w.show();

    // Declined: nothing changes.
    boxes.answers = {QMessageBox::No};
    w.btBuild()->click();
    EXPECT_EQ(boxes.texts(), QStringList({kBuildQuestion}));
    EXPECT_EQ(w.folders(), QStringList({world.path("c/by hand/")}));
    EXPECT_FALSE(w.modified());

    // While it runs, the window is painted once with the notice, a disabled button and the wait
    // cursor.
    waitFor(50); // until the window is on the screen
    PaintWatch watch(w);
    const QString heading = w.lblHeading()->text();
    w.btBuild()->click();
    ASSERT_FALSE(watch.seen.isEmpty());
    EXPECT_EQ(watch.seen.first(), "Building List ... standby|disabled|wait");
    EXPECT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[1].kind, msgbox::Kind::Question);
    EXPECT_EQ(w.folders(), QStringList({data + "/", tools + "/"}));
    EXPECT_EQ(w.lblCount()->text(), "2 folders");
    EXPECT_EQ(w.lblHeading()->text(), heading);
    EXPECT_TRUE(w.btBuild()->isEnabled());
    EXPECT_TRUE(w.modified());
    // The date of the build is recorded at once, in the long date and time format.
    EXPECT_NE(w.lblWhen()->text(), "Not recorded");
    EXPECT_TRUE(w.lblWhen()->text().startsWith(
        QLocale().toString(QDate::currentDate(), QLocale::LongFormat) + " "));
    EXPECT_EQ(storedWhen(), w.lblWhen()->text());

    w.btClose()->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(readFoldersFile(), QStringList({data + "/", tools + "/"}));
}

TEST_F(NoDelete, AddAppendsTheSlashAndCloseStoresTheListSorted) {
    ASSERT_TRUE(writeFoldersFile({"/m/"}));
    TfrmNoDelete w;
    w.show();
    browserAnswer = "/z/picked";
    w.btAdd()->click();
    EXPECT_EQ(browserTitle, "Select a folder that won't be deleted");
    EXPECT_EQ(browserStart, world.path("c")); // the root of drive C
    browserAnswer = "/A/slashed/";
    w.btAdd()->click();
    browserAnswer = "/m/"; // listed already
    w.btAdd()->click();
    browserAnswer.clear(); // cancelled
    w.btAdd()->click();
    EXPECT_EQ(w.folders(), QStringList({"/m/", "/z/picked/", "/A/slashed/"}));
    EXPECT_EQ(w.lblCount()->text(), "3 folders");
    w.close(); // the close box stores the list as well
    EXPECT_EQ(SandboxWorld::readBytes(foldersFilePath()), "/A/slashed/\r\n/m/\r\n/z/picked/\r\n");
    EXPECT_EQ(storedWhen(), "<none>"); // only a build records a date
}

TEST_F(NoDelete, DeleteAsksAndRemovesTheSelectedFolders) {
    ASSERT_TRUE(writeFoldersFile({"/a/", "/b/", "/c/", "/d/"}));
    TfrmNoDelete w;
    w.show();
    w.btDel()->click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Error);
    EXPECT_EQ(boxes.shown[0].text, "Select one or more folders from the list above");

    selectRows(w, {1, 3});
    boxes.answers = {QMessageBox::Cancel};
    w.btDel()->click();
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[1].text, "Really delete the selected folders?");
    EXPECT_EQ(boxes.shown[1].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(w.folders().size(), 4);
    EXPECT_FALSE(w.modified());

    boxes.answers = {QMessageBox::Ok};
    w.btDel()->click();
    EXPECT_EQ(w.folders(), QStringList({"/a/", "/c/"}));
    EXPECT_EQ(w.lblCount()->text(), "2 folders");
    w.btClose()->click();
    EXPECT_EQ(readFoldersFile(), QStringList({"/a/", "/c/"}));
}

TEST_F(NoDelete, NothingIsWrittenWithoutChanges) {
    const QString file = world.makeFile("data/folders.txt", "/z/\n/a/\n"); // unsorted, LF ends
    const QDateTime stamp = QFileInfo(file).lastModified();
    {
        TfrmNoDelete w;
        w.show();
        boxes.answers = {QMessageBox::No, QMessageBox::Cancel};
        w.btBuild()->click();
        selectRows(w, {0});
        w.btDel()->click();
        browserAnswer.clear();
        w.btAdd()->click();
        w.btClose()->click();
    }
    EXPECT_EQ(SandboxWorld::readBytes(file), "/z/\n/a/\n");
    EXPECT_EQ(QFileInfo(file).lastModified(), stamp);
    EXPECT_FALSE(QFileInfo::exists(settingsFile().path()));
    {
        TfrmNoDelete never; // never shown: nothing of the user's to keep
        never.reject();
    }
    EXPECT_EQ(SandboxWorld::readBytes(file), "/z/\n/a/\n");
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
        EXPECT_EQ(w->lblCount()->text(), "0 folders");
        w->btClose()->click();
    });
    main.button("btBuild")->click();
    EXPECT_FALSE(foldersFileExists());
    EXPECT_TRUE(shell::protection().listNotBuilt());

    main.button("btFiles")->click();
    EXPECT_EQ(filesOpened, 1);
    EXPECT_EQ(boxes.shown.last().kind, msgbox::Kind::Error);
    EXPECT_EQ(boxes.shown.last().text,
              "The list of deletion exceptions has not been created yet.  Click on the Build "
              "Non-Delete List button to initialize.");
}
