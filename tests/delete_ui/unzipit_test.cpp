#include "delete/ui/frmpassword.h"
#include "delete/ui/frmunzipit.h"
#include "delete/ui/frmzipdirectory.h"
#include "support/modalwindows.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"
#include "zip/archivekit.h"
#include "zip/zipwriter.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

const char* const kArchive = "Drive-D-Duplicates08Dec261530.zip";

class UnzipIt : public ::testing::Test {
protected:
    void SetUp() override {
        before = QDir::currentPath();
        world.setDrives({"C", "D"});
        d = world.path("d");
        zips = world.makeDir("c/zips");
    }
    void TearDown() override { QDir::setCurrent(before); }

    // Zips the files as the deletion window does (each under its path below drive D's root).
    QString zipUp(const QStringList& files, const QString& comment = QString()) {
        zip::ZipWriter writer;
        EXPECT_TRUE(writer.open(zips + "/" + kArchive));
        writer.setComment(comment);
        for (const QString& f : files)
            EXPECT_TRUE(writer.addFile(f)) << f.toStdString();
        const zip::ZipWriter::Results results = writer.flush();
        EXPECT_EQ(results.storedPaths().size(), files.size()) << results.error.toStdString();
        return results.archives.value(0);
    }

    // Selects the archive in the window's list.
    static void choose(TfrmUnZipIt& w, const QString& name) {
        const QList<QListWidgetItem*> items = w.FileListBox1()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        w.FileListBox1()->setCurrentItem(items.first());
    }

    // Answers the destination dialog with its proposed folder, recording what it proposed.
    void takeProposedFolder() {
        whenModalOpen<TfrmZipDirectory>([this](TfrmZipDirectory* dlg) {
            proposed = dlg->folder();
            dlg->Button1()->click();
        });
    }

    QString before, d, zips, proposed;
    SandboxWorld world;
    ScriptedBoxes boxes;
};

} // namespace

TEST_F(UnzipIt, ListsTheArchivesAndShowsTheOneOpened) {
    const QString a = world.makeFile("d/home/ann/letter.txt", "Dear Bob");
    const QString b = world.makeFile("d/home/ann/photos/cat.jpg", "meow");
    const QString c = world.makeFile("d/srv/notes.txt", "n");
    zipUp({a, b, c}, "Old letters");
    world.makeFile("c/zips/notes.zip", "not listed");
    world.makeFile("c/zips/drive-c-other.ZIP", "listed, not an archive");

    TfrmUnZipIt w(zips);
    EXPECT_EQ(w.windowTitle(), "Unzip Vastel Archive Zip Files");
    EXPECT_EQ(w.DriveComboBox1()->objectName(), "DriveComboBox1");
    EXPECT_EQ(w.DirectoryListBox1()->objectName(), "DirectoryListBox1");
    EXPECT_EQ(w.Label1()->text(), zips);
    ASSERT_EQ(w.FileListBox1()->count(), 2);
    EXPECT_EQ(w.FileListBox1()->item(0)->text(), "drive-c-other.ZIP");
    EXPECT_EQ(w.FileListBox1()->item(1)->text(), kArchive);
    EXPECT_EQ(w.lblCount()->text(), "0 files");
    EXPECT_EQ(w.pnlComment()->text(), "Archive zip file comments");
    EXPECT_FALSE(w.btExtract()->isEnabled());
    EXPECT_FALSE(w.btView()->isEnabled());
    const QColor buttonFace = w.palette().color(QPalette::Button);
    EXPECT_EQ(w.Outline()->palette().color(QPalette::Base), buttonFace);

    w.show();
    EXPECT_FALSE(w.noticeTimer()->isActive());
    choose(w, kArchive);
    EXPECT_TRUE(w.btExtract()->isEnabled());
    EXPECT_TRUE(w.btView()->isEnabled());
    w.btView()->click();
    EXPECT_EQ(w.lblZip()->text(), zips + "/" + kArchive);
    EXPECT_EQ(w.lblCount()->text(), "3 files");
    EXPECT_EQ(w.pnlComment()->text(), "Old letters");
    EXPECT_EQ(w.Outline()->palette().color(QPalette::Base), w.palette().color(QPalette::Base));
    QAbstractItemModel* m = w.Outline()->model();
    ASSERT_EQ(m->rowCount(), 2);
    EXPECT_EQ(m->index(0, 0).data().toString(), "home");
    EXPECT_EQ(m->index(1, 0).data().toString(), "srv");
    EXPECT_FALSE(m->index(0, 0).data(Qt::DecorationRole).isNull());
    EXPECT_TRUE(boxes.shown.isEmpty());

    // Moving the folder tree re-reads the list; nothing chosen, nothing to extract.
    w.setFolder(d);
    EXPECT_EQ(w.FileListBox1()->count(), 0);
    EXPECT_FALSE(w.btExtract()->isEnabled());
    EXPECT_EQ(w.lblZip()->text(), zips + "/" + kArchive); // the archive stays shown
}

TEST_F(UnzipIt, DamagedArchiveKeepsTheShownOneOrEmptiesTheView) {
    zipUp({world.makeFile("d/a.txt", "a")}, "Kept");
    ASSERT_TRUE(QFile::remove(d + "/a.txt"));
    world.makeFile("c/zips/Drive-C-Broken08Dec261530.zip", "PK\x03\x04 but nothing more");

    TfrmUnZipIt w(zips);
    w.show();
    choose(w, "Drive-C-Broken08Dec261530.zip");
    emit w.FileListBox1()->itemDoubleClicked(w.FileListBox1()->currentItem());
    EXPECT_FALSE(w.archive().isOpen());
    EXPECT_EQ(w.lblZip()->text(), "");
    EXPECT_EQ(w.lblCount()->text(), "0 files");
    EXPECT_EQ(w.Outline()->model()->rowCount(), 0);

    choose(w, kArchive);
    emit w.FileListBox1()->itemDoubleClicked(w.FileListBox1()->currentItem());
    ASSERT_EQ(w.lblCount()->text(), "1 files");

    choose(w, "Drive-C-Broken08Dec261530.zip");
    emit w.FileListBox1()->itemDoubleClicked(w.FileListBox1()->currentItem());
    EXPECT_EQ(w.lblZip()->text(), zips + "/" + kArchive);
    EXPECT_EQ(w.lblCount()->text(), "1 files");
    EXPECT_EQ(w.pnlComment()->text(), "Kept");
    ASSERT_EQ(w.Outline()->model()->rowCount(), 1);
    EXPECT_EQ(w.Outline()->model()->index(0, 0).data().toString(), "a.txt");

    // Extracting the damaged file extracts nothing, not the archive still shown.
    w.btExtract()->click();
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(d + "/a.txt"));
}

TEST_F(UnzipIt, ExtractingIntoTheProposedDriveRootRestoresEveryFileByteForByte) {
    QMap<QString, QByteArray> originals;
    originals.insert(world.makeFile("d/docs/report.txt", "quarterly figures\r\n"), {});
    originals.insert(world.makeFile("d/docs/deep/er/still.bin", archivekit::randomBytes(70000, 3)),
                     {});
    originals.insert(world.makeFile("d/empty.dat"), {});
    for (auto it = originals.begin(); it != originals.end(); ++it)
        it.value() = SandboxWorld::readBytes(it.key());
    zipUp(originals.keys());
    for (const QString& path : originals.keys())
        ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir(d + "/docs").removeRecursively());

    TfrmUnZipIt w(zips);
    w.show();
    choose(w, kArchive);
    takeProposedFolder();
    w.btExtract()->click();

    EXPECT_EQ(proposed, d);
    EXPECT_EQ(boxes.texts(), QStringList({"Files were unzipped"}));
    EXPECT_EQ(boxes.shown.value(0).kind, msgbox::Kind::Plain);
    for (auto it = originals.cbegin(); it != originals.cend(); ++it)
        EXPECT_EQ(SandboxWorld::readBytes(it.key()), it.value()) << it.key().toStdString();
    EXPECT_FALSE(w.Gauge1()->isVisible());
    // The archive stays where it was and is listed again, still chosen.
    ASSERT_EQ(w.FileListBox1()->count(), 1);
    EXPECT_TRUE(w.btExtract()->isEnabled());
    EXPECT_TRUE(QFile::exists(zips + "/" + kArchive));
}

TEST_F(UnzipIt, WrongPasswordIsReportedAndTheOtherEntriesAreExtracted) {
    ASSERT_TRUE(archivekit::writeRaw(zips + "/" + kArchive,
                                     {{"docs/a.txt", "first", std::nullopt, {}},
                                      {"docs/secret.txt", "hidden", std::nullopt, "right"},
                                      {"docs/b.txt", "last", std::nullopt, {}}}));
    TfrmUnZipIt w(zips);
    w.show();
    choose(w, kArchive);
    takeProposedFolder();
    QString caption;
    bool okWhileDifferent = true, verifyAfterChange = false, gaugeDuringRun = false;
    whenModalOpen<TfrmPassword>([&](TfrmPassword* ask) {
        caption = ask->windowTitle();
        gaugeDuringRun = w.Gauge1()->isVisible();
        ask->edPassword()->setText("wrong");
        okWhileDifferent = ask->btOK()->isEnabled();
        ask->edVerify()->setText("wrong");
        ask->edPassword()->setText("wrong!"); // changing the password empties verify
        verifyAfterChange = ask->edVerify()->text().isEmpty();
        ask->edVerify()->setText("wrong!");
        ASSERT_TRUE(ask->btOK()->isEnabled());
        ask->btOK()->click();
    });
    w.btExtract()->click();

    EXPECT_EQ(caption, "Enter Password");
    EXPECT_TRUE(gaugeDuringRun);
    EXPECT_FALSE(w.Gauge1()->isVisible());
    EXPECT_FALSE(okWhileDifferent);
    EXPECT_TRUE(verifyAfterChange);
    ASSERT_EQ(boxes.shown.size(), 3) << boxes.texts().join('\n').toStdString();
    EXPECT_EQ(boxes.shown[0].text, QString("Cannot extract docs/secret.txt from ") + kArchive);
    EXPECT_FALSE(boxes.shown[1].text.isEmpty());
    EXPECT_EQ(boxes.shown[2].text, "2 of 3 files were unzipped; 1 could not be unzipped");
    for (const msgbox::Request& r : boxes.shown)
        EXPECT_EQ(r.kind, msgbox::Kind::Plain);
    EXPECT_EQ(SandboxWorld::readBytes(d + "/docs/a.txt"), "first");
    EXPECT_EQ(SandboxWorld::readBytes(d + "/docs/b.txt"), "last");
    EXPECT_FALSE(QFile::exists(d + "/docs/secret.txt"));
}

TEST_F(UnzipIt, FileThatExistsIsNotOverwrittenAndTheRestGoesOn) {
    const QString a = world.makeFile("d/keep/a.txt", "as zipped");
    const QString b = world.makeFile("d/keep/b.txt", "restored");
    zipUp({a, b});
    ASSERT_TRUE(QFile::remove(b));
    world.makeFile("d/keep/a.txt", "changed since");

    TfrmUnZipIt w(zips);
    w.show();
    choose(w, kArchive);
    takeProposedFolder();
    w.btExtract()->click();

    ASSERT_EQ(boxes.shown.size(), 3) << boxes.texts().join('\n').toStdString();
    EXPECT_EQ(boxes.shown[0].text, QString("Cannot extract keep/a.txt from ") + kArchive);
    EXPECT_TRUE(boxes.shown[1].text.contains(a)) << boxes.shown[1].text.toStdString();
    EXPECT_EQ(boxes.shown[2].text, "1 of 2 files were unzipped; 1 could not be unzipped");
    EXPECT_EQ(SandboxWorld::readBytes(a), "changed since");
    EXPECT_EQ(SandboxWorld::readBytes(b), "restored");
}

TEST_F(UnzipIt, FolderWithoutArchivesGetsTheNoticeOnceAMomentAfterShowing) {
    TfrmUnZipIt w(zips);
    EXPECT_EQ(w.FileListBox1()->count(), 0);
    w.show();
    EXPECT_TRUE(w.noticeTimer()->isActive());
    EXPECT_EQ(w.noticeTimer()->interval(), 600);
    EXPECT_TRUE(boxes.shown.isEmpty());
    waitFor(750);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Information);
    EXPECT_EQ(boxes.shown[0].text,
              "It appears that there are no archive zip files in this folder for Vastel to "
              "unzip.  \n\nNote that Vastel can only unzip those files that have been "
              "originally zipped by Vastel.  It should not be used to unzip other non Vastel "
              "zip files.");
    w.hide();
    w.show();
    EXPECT_FALSE(w.noticeTimer()->isActive());
    EXPECT_TRUE(w.isVisible());
}
