#include "app/totals.h"
#include "clean/ui/frmcache.h"
#include "cleanui.h"
#include "delete/ui/frmreallydelete.h"
#include "support/entrybuilders.h"
#include "support/modalwindows.h"
#include "support/scriptedboxes.h"

#include <QSpinBox>

using namespace cleanui;

namespace {

class CacheWindow : public ::testing::Test {
protected:
    void SetUp() override { setUpWorld(world); }
    void TearDown() override { TfrmCache::setFolderBrowser(nullptr); }

    // The folder browser answers with this folder.
    static void browserAnswers(const QString& folder) {
        TfrmCache::setFolderBrowser([folder](QWidget*, const QString& title, const QString&) {
            EXPECT_EQ(title, "Select an internet Cache folder");
            return folder;
        });
    }

    // Clears, and on the deletion window presses Delete (or Close).
    void clearThroughDeletion(TfrmCache& w, bool dispose, QStringList* panel = nullptr,
                              QStringList* kept = nullptr) {
        whenModalOpen<TfrmReallyDelete>([dispose, panel, kept](TfrmReallyDelete* d) {
            EXPECT_EQ(d->archiveTag(), "InternetCache");
            if (panel)
                *panel = d->deletionPanel();
            if (kept)
                *kept = d->keepPanel();
            button(d, dispose ? "btDelete" : "btClose")->click();
        });
        button(&w, "btClear")->click();
    }

    SandboxWorld world;
    ScriptedBoxes boxes;
};

} // namespace

TEST_F(CacheWindow, FirstOpeningTakesTheBrowserCaches) {
    const QString firefox = world.makeDir("xdg-cache/mozilla/firefox/x.default/cache2/entries");
    TfrmCache w;
    w.show();
    EXPECT_TRUE(button(&w, "btClear")->isDefault());
    EXPECT_EQ(w.folders(), QStringList({firefox}));
    EXPECT_FALSE(button(&w, "btInit")->isVisible());
    EXPECT_EQ(child<QSpinBox>(&w, "nDays")->value(), 0);
    button(&w, "btClose")->click();
    EXPECT_EQ(settingsFile().readString("CacheFiles", "File1", ""), firefox);
}

TEST_F(CacheWindow, AnEmptiedListStaysEmptyUntilInitialize) {
    world.makeDir("xdg-cache/mozilla/firefox/x.default/cache2/entries");
    const QString chromium = world.makeDir("xdg-cache/chromium/Default/Cache/Cache_Data");
    writeSettings("[CacheFiles]\r\nNumber=0\r\nFile1=/old\r\n");
    TfrmCache w;
    w.show();
    EXPECT_TRUE(w.folders().isEmpty()); // the sources are not read
    EXPECT_TRUE(button(&w, "btInit")->isVisible());

    button(&w, "btInit")->click();
    EXPECT_EQ(w.folders().size(), 2);
    EXPECT_EQ(w.folders()[1], chromium);
    EXPECT_FALSE(button(&w, "btInit")->isVisible());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(CacheWindow, InitializeThatFindsNothingSaysSo) {
    writeSettings("[CacheFiles]\r\nNumber=0\r\n");
    TfrmCache w;
    w.show();
    button(&w, "btInit")->click();
    EXPECT_TRUE(button(&w, "btInit")->isVisible());
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Information);
    EXPECT_TRUE(boxes.shown[0].text.startsWith("Could not find any internet cache folders on "
                                               "your machine.  You may add them in manually"));
}

TEST_F(CacheWindow, FoldersAreAddedAndDeletedByHand) {
    writeSettings("[CacheFiles]\r\nNumber=0\r\n");
    const QString folder = world.makeDir("mycache");
    world.makeFile("mycache/keep", "x");
    TfrmCache w;
    w.show();
    browserAnswers(folder);
    button(&w, "btAdd")->click();
    button(&w, "btAdd")->click(); // no check for duplicates
    EXPECT_EQ(w.folders(), QStringList({folder, folder}));
    EXPECT_FALSE(button(&w, "btInit")->isVisible());
    browserAnswers(QString()); // cancelled
    button(&w, "btAdd")->click();
    EXPECT_EQ(w.folders().size(), 2);

    QListWidget* l = list(&w, "ListBox1");
    l->clearSelection();
    l->setCurrentRow(-1);
    button(&w, "btDel")->click();
    EXPECT_EQ(boxes.texts(), QStringList({"Select a folder from the list above"}));
    EXPECT_EQ(boxes.shown.last().kind, msgbox::Kind::Error);

    l->setCurrentRow(1);
    boxes.answers << QMessageBox::Cancel << QMessageBox::Ok << QMessageBox::Ok;
    button(&w, "btDel")->click();
    EXPECT_EQ(boxes.texts().last(), "Really delete " + folder);
    EXPECT_EQ(boxes.shown.last().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(w.folders().size(), 2);
    button(&w, "btDel")->click();
    l->setCurrentRow(0);
    button(&w, "btDel")->click();
    EXPECT_TRUE(w.folders().isEmpty());
    EXPECT_TRUE(button(&w, "btInit")->isVisible());
    EXPECT_TRUE(QFileInfo::exists(folder + "/keep")); // the folder itself is never touched
}

TEST_F(CacheWindow, ClearingHandsTheFilesOverAndTheWindowStays) {
    const QString folder = world.makeDir("cache");
    const QString a = world.makeFile("cache/a", QByteArray(100, 'a'));
    const QString b = world.makeFile("cache/.b", QByteArray(20, 'b'));
    world.makeFile("cache/sub/c", "never");
    const QString target = world.makeFile("target", QByteArray(700, 't'));
    ASSERT_TRUE(scantest::makeLink(target, folder + "/link"));
    writeSettings("[CacheFiles]\r\nNumber=2\r\nFile1=" + folder.toUtf8() +
                  "\r\nFile2=" + folder.toUtf8() + "\r\n");
    TfrmCache w;
    w.show();

    QStringList panel;
    clearThroughDeletion(w, false, &panel);
    EXPECT_EQ(panel.size(), 6); // the folder is listed twice
    EXPECT_TRUE(panel.contains(a) && panel.contains(b) && panel.contains(folder + "/link"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.lb1().isEmpty());

    delete w.findChild<QListWidget*>("ListBox1")->takeItem(1); // the item is ours once taken
    clearThroughDeletion(w, true, &panel);
    EXPECT_EQ(panel.size(), 3);
    EXPECT_FALSE(QFileInfo::exists(a));
    EXPECT_FALSE(QFileInfo::exists(b));
    EXPECT_FALSE(QFileInfo(folder + "/link").isSymLink()); // the link went, not its target
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_TRUE(QFileInfo::exists(folder + "/sub/c"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.folders(), QStringList({folder}));
    EXPECT_EQ(readTotals(settingsFile()).ndelete, 3);

    // Nothing left to clear.
    button(&w, "btClear")->click();
    EXPECT_EQ(boxes.texts().last(), "No files found to clear");
    EXPECT_EQ(boxes.shown.last().kind, msgbox::Kind::Error);
}

TEST_F(CacheWindow, AProtectedCacheFolderIsHeldBackEvenThroughALink) {
    const QString guarded = world.makeDir("guarded");
    const QString file = world.makeFile("guarded/file", "x");
    ASSERT_TRUE(scantest::makeLink(guarded, world.path("cachelink")));
    const QStringList nonDelete = {guarded};
    shell::protection().build(&nonDelete, {}, QString(), QString());
    writeSettings("[CacheFiles]\r\nNumber=2\r\nFile1=" + guarded.toUtf8() +
                  "\r\nFile2=" + world.path("cachelink").toUtf8() + "\r\n");
    TfrmCache w;
    w.show();
    QStringList panel, kept;
    clearThroughDeletion(w, false, &panel, &kept);
    EXPECT_TRUE(panel.isEmpty());
    EXPECT_EQ(kept.size(), 2);
    EXPECT_TRUE(QFileInfo::exists(file));
}
