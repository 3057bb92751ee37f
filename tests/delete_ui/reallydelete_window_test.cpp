#include "app/inifile.h"
#include "app/shell.h"
#include "app/totals.h"
#include "app/ui/frmstandby.h"
#include "app/zipsettings.h"
#include "delete/ui/frmreallydelete.h"
#include "delete/ui/handover.h"
#include "support/listedfiles.h"
#include "support/modalwindows.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

// Readable failure messages for texts and lists of texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QString kNotDeleted = "Files not deleted";
const QString kAllProtected =
    "All files selected appear on the NON-DELETE list.  To delete the files anyway, move them off "
    "of the NON-DELETE list onto the DELETION PANEL.";
const QString kNoFiles = "There are no files on the deletion panel.  In order to perform this "
                         "operation you need to move files from the NON-DELETE list to the "
                         "deletion panel.";

class DeletionWindow : public ::testing::Test {
protected:
    void SetUp() override {
        world.makeDir("c/windows/system");
        world.makeDir("c/tools/bin");
        const QStringList nonDelete = {c("apps/office/")};
        shell::protection().build(&nonDelete, {c("tools/bin")}, c("windows/system"), c("windows"));
        free1 = world.makeFile("c/data/b.txt", "bb");
        free2 = world.makeFile("c/data/A.txt", "a");
        free3 = world.makeFile("c/old/c.log", "ccc");
        kept1 = world.makeFile("c/windows/sys.ini", "s");
        kept2 = world.makeFile("c/tools/bin/tool", "t");
        kept3 = world.makeFile("c/apps/office/x.doc", "x");
        all = {kept3, free1, kept1, free2, kept2, free3};
    }
    void TearDown() override { shell::protection().build(nullptr, {}, QString(), QString()); }

    QString c(const QString& rel) const { return world.path("c/" + rel); }

    template <typename T> static T* child(QWidget* w, const char* name) {
        T* found = w->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static QString text(QWidget* w, const char* name) { return child<QLabel>(w, name)->text(); }
    static void click(QWidget* w, const char* name) { child<QPushButton>(w, name)->click(); }
    static bool enabled(QWidget* w, const char* name) {
        return child<QPushButton>(w, name)->isEnabled();
    }
    static int page(QWidget* w) { return child<QTabWidget>(w, "pcPanels")->currentIndex(); }
    // Selects the rows of a panel (all of them when rows is empty).
    static void select(QWidget* w, const char* panel, QList<int> rows = {}) {
        QListView* v = child<QListView>(w, panel);
        const int count = v->model()->rowCount();
        if (rows.isEmpty())
            for (int r = 0; r < count; ++r)
                rows << r;
        for (int r : rows)
            v->selectionModel()->select(v->model()->index(r, 0), QItemSelectionModel::Select);
        if (!rows.isEmpty())
            v->selectionModel()->setCurrentIndex(v->model()->index(rows.first(), 0),
                                                 QItemSelectionModel::NoUpdate);
    }

    SandboxWorld world;
    ScriptedBoxes boxes;
    QString free1, free2, free3, kept1, kept2, kept3;
    QStringList all;
};

} // namespace

TEST_F(DeletionWindow, ShowingSortsTheFilesIntoTwoPanels) {
    TfrmReallyDelete w;
    w.setFiles(listedNow(all));
    w.setSavings(1234567);
    EXPECT_EQ(w.windowTitle(), "Clean up the following files");
    w.show();

    EXPECT_EQ(w.deletionPanel(), QStringList({free2, free1, free3}));
    EXPECT_EQ(w.keepPanel(), QStringList({kept3, kept2, kept1}));
    EXPECT_EQ(child<QListView>(&w, "lb1")->model()->rowCount(), 3);
    EXPECT_EQ(child<QListView>(&w, "lb2")->model()->index(0, 0).data().toString(), kept3);
    EXPECT_EQ(text(&w, "lblDelete"), "Delete - 3, Do NOT delete - 3");
    EXPECT_EQ(text(&w, "lblLeft"), "Deletion Panel - files to be deleted: 3");
    EXPECT_EQ(text(&w, "lblRight"), "Files that will NOT be deleted: 3");
    EXPECT_EQ(text(&w, "lblSavings"), "1,234,567 bytes");
    EXPECT_TRUE(text(&w, "lblName").isEmpty());
    // The waiting window ran over every file and is gone again.
    EXPECT_EQ(TfrmStandBy::instance()->bar()->maximum(), 6);
    EXPECT_FALSE(TfrmStandBy::instance()->isVisible());

    EXPECT_FALSE(enabled(&w, "btToAgainst"));
    EXPECT_FALSE(enabled(&w, "btMoveLeft"));
    EXPECT_FALSE(enabled(&w, "btReason"));
    EXPECT_EQ(child<QPushButton>(&w, "btZip")->text(), "&Archive files into a zip file");
    EXPECT_EQ(child<QPushButton>(&w, "btDelete")->text(), "&Delete all files");
    EXPECT_EQ(child<QPushButton>(&w, "btRecycle")->text(), "&Send to recycle bin");
    EXPECT_EQ(child<QPushButton>(&w, "btClose")->toolTip(),
              "Cancel and close.  May cancel an operation in progress.");
    EXPECT_TRUE(child<QWidget>(&w, "pnlButtons")->isVisible());
    EXPECT_FALSE(child<QWidget>(&w, "pnlProgress")->isVisible());
    EXPECT_EQ(page(&w), 0);
    waitFor(600); // files remain on the deletion panel: no notice
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(DeletionWindow, MovingEntriesBetweenThePanelsSwitchesPages) {
    TfrmReallyDelete w;
    w.setFiles(listedNow(all));
    w.show();

    select(&w, "lb1", {0, 2});
    EXPECT_TRUE(enabled(&w, "btToAgainst"));
    click(&w, "btToAgainst");
    EXPECT_EQ(w.deletionPanel(), QStringList({free1}));
    EXPECT_EQ(w.keepPanel(), QStringList({kept3, free2, free3, kept2, kept1}));
    EXPECT_EQ(text(&w, "lblDelete"), "Delete - 1, Do NOT delete - 5");
    EXPECT_FALSE(enabled(&w, "btToAgainst"));
    EXPECT_EQ(page(&w), 0);

    select(&w, "lb1");
    click(&w, "btToAgainst"); // the last one off: the second page comes to the front
    EXPECT_TRUE(w.deletionPanel().isEmpty());
    EXPECT_EQ(w.keepPanel().size(), 6);
    EXPECT_EQ(page(&w), 1);

    select(&w, "lb2", {1});
    EXPECT_TRUE(enabled(&w, "btMoveLeft"));
    EXPECT_TRUE(enabled(&w, "btReason"));
    click(&w, "btMoveLeft");
    EXPECT_EQ(w.deletionPanel(), QStringList({free2}));
    EXPECT_EQ(page(&w), 1);
    EXPECT_FALSE(enabled(&w, "btMoveLeft"));

    select(&w, "lb2");
    click(&w, "btMoveLeft"); // the last one back: the first page again
    EXPECT_TRUE(w.keepPanel().isEmpty());
    EXPECT_EQ(w.deletionPanel(), QStringList({kept3, free2, free1, free3, kept2, kept1}));
    EXPECT_EQ(text(&w, "lblLeft"), "Deletion Panel - files to be deleted: 6");
    EXPECT_EQ(text(&w, "lblRight"), "Files that will NOT be deleted: 0");
    EXPECT_EQ(page(&w), 0);
}

TEST_F(DeletionWindow, ReasonNamesTheProtectionOrTheUser) {
    TfrmReallyDelete w;
    w.setFiles(listedNow(all));
    w.show();
    const QString head = "This file \"%1\" is on the DO NOT DELETE LIST ";

    select(&w, "lb2", {2}); // kept1, in the Windows folder
    click(&w, "btReason");
    select(&w, "lb1", {1}); // free1, moved by hand
    click(&w, "btToAgainst");
    const int row = int(w.keepPanel().indexOf(free1));
    child<QListView>(&w, "lb2")->selectionModel()->clear();
    select(&w, "lb2", {row});
    click(&w, "btReason");

    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Information);
    EXPECT_EQ(boxes.shown[0].text,
              head.arg(kept1) +
                  "since the folder that it is stored in is in the Windows/System folder");
    EXPECT_EQ(boxes.shown[1].text, head.arg(free1) + "because you moved it here.");
}

TEST_F(DeletionWindow, AnsweringNoChangesNothing) {
    TfrmReallyDelete w;
    w.setFiles(listedNow(all));
    w.setSavings(999);
    w.show();
    boxes.answers = {QMessageBox::No, QMessageBox::No};
    click(&w, "btDelete");
    click(&w, "btRecycle");

    ASSERT_EQ(boxes.shown.size(), 4);
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Question);
    EXPECT_EQ(boxes.shown[0].text, "Really delete?");
    EXPECT_EQ(boxes.shown[1].text, kNotDeleted);
    EXPECT_EQ(boxes.shown[2].kind, msgbox::Kind::Question);
    EXPECT_EQ(boxes.shown[2].text,
              "Note that the recycle bin may be full or that you may have the \"Immediately "
              "Remove Files On Delete\" option turned on in the recycle bin. If either is true, "
              "then you will not be able to recover the deleted files from the recycle bin. "
              "\r\rSend to the recycle bin anyway?");
    EXPECT_EQ(boxes.shown[3].text, kNotDeleted);
    for (const QString& f : all)
        EXPECT_TRUE(QFileInfo::exists(f)) << f.toStdString();
    const Totals t = readTotals(settingsFile());
    EXPECT_EQ(t.ndelete, -1);
    EXPECT_EQ(t.nwaste, -1);
    EXPECT_EQ(t.delDate, -1);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.deletionPanel().size(), 3);
    EXPECT_TRUE(child<QWidget>(&w, "pnlButtons")->isVisible());
    EXPECT_FALSE(child<QWidget>(&w, "pnlProgress")->isVisible());
}

TEST_F(DeletionWindow, DeletingThroughTheHandOverRemovesTheDeletionPanelOnly) {
    whenModalOpen<TfrmReallyDelete>([](TfrmReallyDelete* w) { click(w, "btDelete"); });
    EXPECT_EQ(reallyDelete(nullptr, listedNow(all), archiveTags::Duplicates, 5000),
              DisposalChoice::Disposed);

    EXPECT_EQ(boxes.texts(), QStringList({"Really delete?"}));
    for (const QString& f : {free1, free2, free3})
        EXPECT_FALSE(QFileInfo::exists(f)) << f.toStdString();
    for (const QString& f : {kept1, kept2, kept3})
        EXPECT_TRUE(QFileInfo::exists(f)) << f.toStdString();
    const Totals t = readTotals(settingsFile());
    EXPECT_EQ(t.ndelete, 3);       // the deletion panel
    EXPECT_EQ(t.sizeDelete, 5000); // all that was handed over
    EXPECT_EQ(t.delDate, dayNumber(QDate::currentDate()));
}

TEST_F(DeletionWindow, CancelClosesWithResultTwo) {
    whenModalOpen<TfrmReallyDelete>([](TfrmReallyDelete* w) { click(w, "btClose"); });
    EXPECT_EQ(reallyDelete(nullptr, listedNow(all), archiveTags::TempClean, 10),
              DisposalChoice::Cancelled);
    whenModalOpen<TfrmReallyDelete>(
        [](TfrmReallyDelete* w) { w->reject(); }); // Escape or the close box
    EXPECT_EQ(reallyDelete(nullptr, listedNow(all), archiveTags::TempClean, 10),
              DisposalChoice::Cancelled);
    EXPECT_TRUE(boxes.shown.isEmpty());
    for (const QString& f : all)
        EXPECT_TRUE(QFileInfo::exists(f)) << f.toStdString();
    EXPECT_EQ(readTotals(settingsFile()).ndelete, -1);
}

TEST_F(DeletionWindow, AllProtectedShowsTheNoticeAfterHalfASecond) {
    TfrmReallyDelete w;
    w.setFiles(listedNow({kept1, kept2, kept3}));
    w.show();
    EXPECT_TRUE(w.deletionPanel().isEmpty());
    EXPECT_EQ(page(&w), 0);
    waitFor(100);
    EXPECT_TRUE(boxes.shown.isEmpty()); // not yet
    waitFor(700);
    EXPECT_EQ(boxes.texts(), QStringList({kAllProtected}));
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Information);
    EXPECT_EQ(page(&w), 1);

    // Every disposal button now only says there is nothing to dispose of.
    boxes.shown.clear();
    click(&w, "btDelete");
    click(&w, "btRecycle");
    click(&w, "btZip");
    EXPECT_EQ(boxes.texts(), QStringList({kNoFiles, kNoFiles, kNoFiles}));
    for (const QString& f : {kept1, kept2, kept3})
        EXPECT_TRUE(QFileInfo::exists(f));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(readTotals(settingsFile()).ndelete, -1);
}

namespace {

// Answers the zip settings dialog with OK (or Cancel) as soon as it is open.
void answerZipOptions(bool ok, std::function<void()> then = {}) {
    QTimer::singleShot(10, [ok, then]() {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d || d->objectName() != "TfrmZipOptions") {
            answerZipOptions(ok, then);
            return;
        }
        if (then)
            then();
        ok ? d->accept() : d->reject();
    });
}

class ZipFromWindow : public DeletionWindow {
protected:
    void SetUp() override {
        DeletionWindow::SetUp();
        zipFolder = world.makeDir("zips");
        IniFile ini = settingsFile();
        writeZipPath(ini, zipFolder);
        writeZipComment(ini, "from the window");
    }
    QStringList archives() const { return QDir(zipFolder).entryList({"*.zip"}, QDir::Files); }

    QString zipFolder;
};

} // namespace

TEST_F(ZipFromWindow, ZippingStoresDeletesAndSaysWhere) {
    whenModalOpen<TfrmReallyDelete>([](TfrmReallyDelete* w) {
        answerZipOptions(true);
        click(w, "btZip");
    });
    EXPECT_EQ(reallyDelete(nullptr, listedNow(all), archiveTags::FileDates, 77),
              DisposalChoice::Disposed);

    EXPECT_EQ(boxes.texts(), QStringList({"Files deleted and stored in archive zip files in the "
                                          "folder \"" +
                                          zipFolder + "\""}));
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Plain);
    ASSERT_EQ(archives().size(), 1);
    EXPECT_TRUE(archives()[0].startsWith("Drive-C-FileDates")) << archives()[0].toStdString();
    for (const QString& f : {free1, free2, free3})
        EXPECT_FALSE(QFileInfo::exists(f)) << f.toStdString();
    for (const QString& f : {kept1, kept2, kept3})
        EXPECT_TRUE(QFileInfo::exists(f)) << f.toStdString();
    const Totals t = readTotals(settingsFile());
    EXPECT_EQ(t.nzip, 3);
    EXPECT_EQ(t.sizeZip, 77);
}

TEST_F(ZipFromWindow, CancellingTheZipSettingsDoesNothing) {
    TfrmReallyDelete w;
    w.setFiles(listedNow(all));
    w.show();
    answerZipOptions(false);
    click(&w, "btZip");
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_TRUE(archives().isEmpty());
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(child<QWidget>(&w, "pnlButtons")->isVisible());
    EXPECT_FALSE(child<QWidget>(&w, "pnlProgress")->isVisible());
    EXPECT_EQ(readTotals(settingsFile()).nzip, -1);
}

TEST_F(ZipFromWindow, CancelDuringTheRunAsksAndAborts) {
    whenModalOpen<TfrmReallyDelete>([](TfrmReallyDelete* w) {
        // Once the run is under way, the Cancel button asks whether to abort.
        auto* poll = new QTimer(w);
        QObject::connect(poll, &QTimer::timeout, w, [w, poll]() {
            if (!w->running())
                return;
            poll->stop();
            EXPECT_TRUE(child<QPushButton>(w, "btClose")->isEnabled());
            EXPECT_TRUE(child<QWidget>(w, "pnlProgress")->isVisible());
            EXPECT_FALSE(child<QWidget>(w, "pnlButtons")->isVisible());
            click(w, "btClose");
            EXPECT_TRUE(w->abortRequested());
            EXPECT_TRUE(w->isVisible());
        });
        answerZipOptions(true, [poll]() { poll->start(0); });
        click(w, "btZip"); // the run goes on in steps from here
    });
    EXPECT_EQ(reallyDelete(nullptr, listedNow(all), archiveTags::Duplicates, 77),
              DisposalChoice::Disposed);

    // Asked, and no word of success after an abort.
    EXPECT_EQ(boxes.texts(), QStringList({"Really abort?  Folders may be partially deleted!"}));
    // The run stopped at its next check: the files after the first were never touched.
    EXPECT_TRUE(QFileInfo::exists(free1));
    EXPECT_TRUE(QFileInfo::exists(free3));
    EXPECT_EQ(readTotals(settingsFile()).nzip, 3);
}

TEST_F(ZipFromWindow, NoWordOfSuccessWhenNothingWasStored) {
    IniFile ini = settingsFile();
    writeZipPath(ini, world.path("missing"));
    whenModalOpen<TfrmReallyDelete>([](TfrmReallyDelete* w) {
        answerZipOptions(true);
        click(w, "btZip");
    });
    EXPECT_EQ(reallyDelete(nullptr, listedNow({free1, free2}), QString(), 3),
              DisposalChoice::Disposed);
    const QString why = ": The folder " + world.path("missing") + " does not exist";
    EXPECT_EQ(boxes.texts(), QStringList({"Couldn't zip up file - " + free2 + why,
                                          "Couldn't zip up file - " + free1 + why}));
    EXPECT_TRUE(QFileInfo::exists(free1));
    EXPECT_TRUE(QFileInfo::exists(free2));
}

namespace {

// A deletion panel that holds archives the program wrote into its zip folder.
class ArchivesOnThePanel : public DeletionWindow {
protected:
    void SetUp() override {
        DeletionWindow::SetUp();
        zips = world.makeDir("c/zips");
        shell::setDefaultZipFolder(zips);
        archive1 = world.makeFile("c/zips/Drive-C-Duplicates08Dec261530.zip", "PK1");
        archive2 = world.makeFile("c/zips/Drive-C-TempClean09Dec261530.zip", "PK2");
        foreign = world.makeFile("c/zips/photos.zip", "PK3");
    }
    void TearDown() override {
        shell::setDefaultZipFolder(QString());
        DeletionWindow::TearDown();
    }

    QString zips, archive1, archive2, foreign;
};

} // namespace

TEST_F(ArchivesOnThePanel, DeletingAsksFirstAndTheDefaultAnswerKeepsThem) {
    QStringList keptPanel;
    whenModalOpen<TfrmReallyDelete>([&keptPanel, this](TfrmReallyDelete* w) {
        boxes.answers = {QMessageBox::No, QMessageBox::Yes};
        click(w, "btDelete");
        keptPanel = w->keepPanel();
    });
    EXPECT_EQ(reallyDelete(nullptr, listedNow({free1, archive1, foreign, archive2}),
                           archiveTags::Duplicates, 10),
              DisposalChoice::Disposed);

    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Question);
    EXPECT_EQ(boxes.shown[0].text,
              "The files to dispose of include 2 archives that Vastel wrote into its zip folder.  "
              "They may hold the only copies of the files zipped into them.\n\nDispose of these "
              "archives too?  No keeps them.");
    EXPECT_EQ(boxes.shown[0].defaultButton, QMessageBox::No);
    EXPECT_EQ(boxes.shown[1].text, "Really delete?");
    // Moved to the non-delete panel, the archives stay; the rest goes.
    EXPECT_EQ(keptPanel, QStringList({archive1, archive2}));
    EXPECT_TRUE(QFileInfo::exists(archive1));
    EXPECT_TRUE(QFileInfo::exists(archive2));
    EXPECT_FALSE(QFileInfo::exists(free1));
    EXPECT_FALSE(QFileInfo::exists(foreign));
}

TEST_F(ArchivesOnThePanel, YesLetsThemGoWithTheRest) {
    whenModalOpen<TfrmReallyDelete>([this](TfrmReallyDelete* w) {
        boxes.answers = {QMessageBox::Yes, QMessageBox::Yes};
        click(w, "btDelete");
    });
    EXPECT_EQ(reallyDelete(nullptr, listedNow({archive1, free2}), archiveTags::Duplicates, 4),
              DisposalChoice::Disposed);
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_TRUE(boxes.shown[0].text.startsWith("The files to dispose of include 1 archive that"));
    EXPECT_FALSE(QFileInfo::exists(archive1));
    EXPECT_FALSE(QFileInfo::exists(free2));
}

TEST_F(ArchivesOnThePanel, TrashAndZipAskTooAndNothingLeftMeansNothingDone) {
    for (const char* button : {"btRecycle", "btZip"}) {
        SCOPED_TRACE(button);
        boxes.shown.clear();
        TfrmReallyDelete w;
        w.setFiles(listedNow({archive1, archive2}));
        w.show();
        boxes.answers = {QMessageBox::No};
        click(&w, button);
        ASSERT_EQ(boxes.shown.size(), 2);
        EXPECT_TRUE(boxes.shown[0].text.contains("include 2 archives"));
        EXPECT_EQ(boxes.shown[1].text, kNotDeleted);
        // The archives wait on the non-delete panel; the window stays open.
        EXPECT_TRUE(w.deletionPanel().isEmpty());
        EXPECT_EQ(w.keepPanel().size(), 2);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(page(&w), 1);
    }
    EXPECT_TRUE(QFileInfo::exists(archive1));
    EXPECT_TRUE(QFileInfo::exists(archive2));
    EXPECT_TRUE(QDir(zips).entryList({"*.zip"}).size() == 3);
}

TEST_F(ArchivesOnThePanel, ArchivesOutsideTheZipFolderAreNotAskedAbout) {
    const QString copied = world.makeFile("c/data/Drive-C-Duplicates08Dec261530.zip", "PK");
    whenModalOpen<TfrmReallyDelete>([](TfrmReallyDelete* w) { click(w, "btDelete"); });
    EXPECT_EQ(reallyDelete(nullptr, listedNow({copied, foreign}), archiveTags::Duplicates, 5),
              DisposalChoice::Disposed);
    EXPECT_EQ(boxes.texts(), QStringList({"Really delete?"}));
    EXPECT_FALSE(QFileInfo::exists(copied));
    EXPECT_FALSE(QFileInfo::exists(foreign));
}

namespace {

// Zip runs whose batch takes a while to write: 48 MiB that deflate cannot shrink.
class BigZipFromWindow : public ZipFromWindow {
protected:
    void SetUp() override {
        ZipFromWindow::SetUp();
        for (int i = 0; i < 6; ++i) {
            QByteArray noise(8 * 1024 * 1024, Qt::Uninitialized);
            QRandomGenerator(70 + i).fillRange(reinterpret_cast<quint32*>(noise.data()),
                                               noise.size() / 4);
            big << world.makeFile(QString("c/big/%1.bin").arg(i), noise);
        }
    }
    // The gauge of the progress panel: the bar that is not the file bar.
    static QProgressBar* gauge(QWidget* w) {
        for (QProgressBar* bar : child<QWidget>(w, "pnlProgress")->findChildren<QProgressBar*>())
            if (bar->objectName() != "bar")
                return bar;
        return nullptr;
    }

    QStringList big;
};

} // namespace

TEST_F(BigZipFromWindow, TheWindowAnswersWhileTheBatchIsWritten) {
    int ticks = 0;
    int highest = -1;
    whenModalOpen<TfrmReallyDelete>([&](TfrmReallyDelete* w) {
        auto* tick = new QTimer(w);
        tick->setInterval(10);
        QObject::connect(tick, &QTimer::timeout, w, [&, w]() {
            if (!w->flushing())
                return;
            ++ticks;
            highest = qMax(highest, gauge(w)->value());
        });
        answerZipOptions(true, [tick]() { tick->start(); });
        click(w, "btZip");
    });
    EXPECT_EQ(reallyDelete(nullptr, listedNow(all + big), archiveTags::FileDates, 99),
              DisposalChoice::Disposed);

    EXPECT_GT(ticks, 5) << "the event loop did not run while the archive was written";
    EXPECT_GT(highest, 0) << "the gauge did not move";
    ASSERT_EQ(archives().size(), 1);
    EXPECT_EQ(boxes.texts(), QStringList({"Files deleted and stored in archive zip files in the "
                                          "folder \"" +
                                          zipFolder + "\""}));
    for (const QString& f : big + QStringList{free1, free2, free3})
        EXPECT_FALSE(QFileInfo::exists(f)) << f.toStdString();
    EXPECT_EQ(readTotals(settingsFile()).nzip, 9);
}

TEST_F(BigZipFromWindow, CancelWhileTheBatchIsWrittenGivesItUpAtOnce) {
    QElapsedTimer sinceYes;
    bool clicked = false;
    whenModalOpen<TfrmReallyDelete>([&](TfrmReallyDelete* w) {
        auto* poll = new QTimer(w);
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, w, [&, w, poll]() {
            if (!w->flushing())
                return;
            poll->stop();
            clicked = true;
            EXPECT_TRUE(child<QPushButton>(w, "btClose")->isEnabled());
            click(w, "btClose"); // "Really abort?" answered Yes
            sinceYes.start();
            EXPECT_TRUE(w->abortRequested());
            EXPECT_TRUE(w->isVisible());
        });
        answerZipOptions(true, [poll]() { poll->start(); });
        click(w, "btZip");
    });
    EXPECT_EQ(reallyDelete(nullptr, listedNow(all + big), archiveTags::FileDates, 99),
              DisposalChoice::Disposed);

    ASSERT_TRUE(clicked);
    EXPECT_LT(sinceYes.elapsed(), 3000);
    EXPECT_EQ(boxes.texts(), QStringList({"Really abort?  Folders may be partially deleted!"}));
    // Nothing of the batch was stored and no file went.
    EXPECT_EQ(QDir(zipFolder).entryList(QDir::Files | QDir::Hidden), QStringList());
    for (const QString& f : big + QStringList{free1, free2, free3})
        EXPECT_TRUE(QFileInfo::exists(f)) << f.toStdString();
}

TEST_F(BigZipFromWindow, ABatchThatEndsWhileTheQuestionIsOpenIsSettledAfterTheAnswer) {
    // The question stays open (its own event loop running) until the batch would long have
    // been written, then is answered No: the run goes on and ends as if never asked.
    bool asked = false;
    bool settledWhileOpen = false;
    TfrmReallyDelete* window = nullptr;
    msgbox::setHandler([&](const msgbox::Request& r) {
        boxes.shown.append(r);
        if (r.kind != msgbox::Kind::Question)
            return QMessageBox::Ok;
        asked = true;
        QElapsedTimer open;
        open.start();
        // Until the archive has its full size on disk, then long enough for it to be checked.
        while (open.elapsed() < 60000) {
            QEventLoop wait;
            QTimer::singleShot(20, &wait, &QEventLoop::quit);
            wait.exec();
            if (archives().size() == 1 &&
                QFileInfo(zipFolder + "/" + archives()[0]).size() > qint64(48) * 1024 * 1024)
                break;
        }
        QEventLoop wait;
        QTimer::singleShot(1500, &wait, &QEventLoop::quit);
        wait.exec();
        settledWhileOpen = !QFileInfo::exists(big[0]) || !window->flushing();
        return QMessageBox::No;
    });
    whenModalOpen<TfrmReallyDelete>([&](TfrmReallyDelete* w) {
        window = w;
        auto* poll = new QTimer(w);
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, w, [w, poll]() {
            if (!w->flushing())
                return;
            poll->stop();
            click(w, "btClose");
        });
        answerZipOptions(true, [poll]() { poll->start(); });
        click(w, "btZip");
    });
    EXPECT_EQ(reallyDelete(nullptr, listedNow(all + big), archiveTags::FileDates, 99),
              DisposalChoice::Disposed);

    ASSERT_TRUE(asked);
    EXPECT_FALSE(settledWhileOpen) << "the batch was settled while the question was open";
    ASSERT_EQ(archives().size(), 1);
    for (const QString& f : big + QStringList{free1, free2, free3})
        EXPECT_FALSE(QFileInfo::exists(f)) << f.toStdString();
    EXPECT_EQ(boxes.texts().last(), "Files deleted and stored in archive zip files in the "
                                    "folder \"" +
                                        zipFolder + "\"");
}
