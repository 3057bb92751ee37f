// The statistics window driven offscreen over a sandbox world.
#include "app/inifile.h"
#include "platform/dirsearch.h"
#include "scan/ui/frmwhichdrive.h"
#include "stats/ui/frmstatistics.h"
#include "stats/ui/statchart.h"
#include "support/modalwindows.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"

#include <QChartView>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

class StatisticsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        world.setDrives({"C", "D"});
        world.makeFile("c/a.txt", QByteArray(4097, 'a'));
        world.makeFile("c/b.txt", QByteArray(100, 'b'));
        world.makeFile("c/docs/c.doc", QByteArray(20000, 'c'));
        world.makeFile("c/docs/.hidden.log", QByteArray(10, 'h'));
        world.makeFile("d/only.dat", QByteArray(5, 'd'));
        for (int i = 0; i < 300; ++i)
            world.makeFile(QStringLiteral("d/many/f%1.bin").arg(i), "x");
        w = std::make_unique<TfrmStatistics>(nullptr, [] { return QDate(2024, 6, 15); });
        w->show();
    }

    template <class T> T* child(const char* name) const {
        T* c = w->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QChart* chart(const char* name) const { return child<QChartView>(name)->chart(); }

    // Starts a collection of the drives whose entries begin with these letters (all files).
    void start(const QString& letters) {
        whenModalOpen<TfrmWhichDrive>([letters](TfrmWhichDrive* d) {
            auto* drives = d->findChild<QListWidget*>("pckDrive");
            drives->clearSelection();
            for (int r = 0; r < drives->count(); ++r)
                drives->item(r)->setSelected(letters.contains(drives->item(r)->text().at(0)));
            d->findChild<QPushButton*>("btNext1")->click();
            d->findChild<QPushButton*>("btNext2")->click();
        });
        child<QPushButton>("btOK")->click();
    }
    void waitDone() {
        if (!w->scanning())
            return;
        QEventLoop loop;
        QObject::connect(w.get(), &TfrmStatistics::collectionDone, &loop, &QEventLoop::quit);
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        loop.exec();
        ASSERT_FALSE(w->scanning());
    }
    void collect(const QString& letters) {
        start(letters);
        waitDone();
    }

    SandboxWorld world;
    ScriptedBoxes boxes;
    std::unique_ptr<TfrmStatistics> w;
};

} // namespace

TEST_F(StatisticsWindow, CollectsOneDriveAndFillsEveryPageAndChart) {
    EXPECT_EQ(w->windowTitle(), "File Statistics Not Yet Collected");
    w->notebook()->setCurrentIndex(TfrmStatistics::pgSizes);
    EXPECT_TRUE(child<QWidget>("pnlNotYet")->isVisible());
    collect("c");
    ASSERT_TRUE(w->collected());
    EXPECT_EQ(w->windowTitle(), "Statistics completed for drives C: ");
    EXPECT_TRUE(boxes.texts().value(0).startsWith("Disk Drive c: ["));
    EXPECT_EQ(child<QStatusBar>("StatusBar1")->currentMessage(), "Finished - 4 files processed");
    EXPECT_FALSE(child<QWidget>("pnlNotYet")->isVisible());
    EXPECT_TRUE(w->notebook()->isTabEnabled(TfrmStatistics::pgOverhang));

    // Every page is drawn, and every chart holds what the collection gave it.
    for (int p = 0; p < TfrmStatistics::kPages; ++p) {
        w->notebook()->setCurrentIndex(p);
        EXPECT_FALSE(w->grab().isNull());
    }
    for (const char* name : {"chartSpaceBar", "chartSpacePie", "chartTypes", "chartSizes",
                             "chartAccess", "chartCreate", "chartModify", "chartCombine",
                             "chartAttrFiles", "chartAttrSize", "chartOverhang", "chartTime"})
        EXPECT_GT(statchart::seriesCount(chart(name)), 0) << name;
    // Types pie by size: three types (.TXT, .DOC, .LOG), three slices.
    EXPECT_EQ(statchart::pointCount(chart("chartTypes")), 3);
    EXPECT_EQ(statchart::pointCount(chart("chartSizes")), 12);
    EXPECT_EQ(statchart::pointCount(chart("chartTime")), 24);
    EXPECT_EQ(w->typeGrid().rowCount(), 4);
    EXPECT_EQ(child<QLabel>("lblAttrFiles1")->text(), "1") << "one hidden file";
    EXPECT_EQ(child<QLabel>("lblAttrFiles4")->text(), "4") << "four archive files";

    // A second collection replaces the series.
    collect("c");
    EXPECT_EQ(statchart::seriesCount(chart("chartAttrFiles")), 1);
    EXPECT_EQ(statchart::pointCount(chart("chartAttrFiles")), 4);
    EXPECT_EQ(statchart::pointCount(chart("chartAttrSize")), 4);
    EXPECT_EQ(statchart::pointCount(chart("chartOverhang")), 5);
    EXPECT_EQ(statchart::seriesCount(chart("chartTypes")), 1);
    EXPECT_EQ(statchart::seriesCount(chart("chartTime")), 2);
    EXPECT_EQ(w->totals()->filesCounted, 4);
}

TEST_F(StatisticsWindow, TwoDrivesDisableOverhangAndAbortStopsBeforeTheSecond) {
    collect("cd");
    EXPECT_TRUE(boxes.texts().value(0).startsWith("Since you selected more than one drive"));
    EXPECT_FALSE(w->notebook()->isTabEnabled(TfrmStatistics::pgOverhang));
    EXPECT_EQ(w->windowTitle(), "Statistics completed for drives C: D: ");
    EXPECT_EQ(w->totals()->filesCounted, 305);
    EXPECT_EQ(w->totals()->clusterWaste, (std::array<qint64, 5>{}));

    boxes.shown.clear();
    start("cd");
    ASSERT_TRUE(w->scanning());
    child<QPushButton>("btAbort")->click();
    waitDone();
    EXPECT_EQ(w->windowTitle(), "File Statistics for drive(s) incomplete ... aborted.");
    EXPECT_TRUE(
        child<QStatusBar>("StatusBar1")->currentMessage().endsWith(" INCOMPLETE ... ABORTED"));
    EXPECT_LT(w->totals()->filesCounted, 5) << "drive D was not scanned";
    EXPECT_EQ(boxes.texts().size(), 2) << "the start message and the abort notice";
}

TEST_F(StatisticsWindow, CloseHidesAndDeletedPageShowsTheTotals) {
    IniFile ini = settingsFile();
    ASSERT_TRUE(ini.writeInteger("Vastel", "Ndelete", 0));
    ASSERT_TRUE(ini.writeInteger("Vastel", "NZip", 2));
    ASSERT_TRUE(ini.writeInteger("Vastel", "SizeZip", 2048));
    w->notebook()->setCurrentIndex(TfrmStatistics::pgDeleted);
    EXPECT_EQ(child<QLineEdit>("edDeleted")->text(), "n/a");
    EXPECT_EQ(child<QLineEdit>("edZippedSize")->text(), "2,048 bytes");
    EXPECT_FALSE(child<QWidget>("pnlNotYet")->isVisible());
    boxes.answers << QMessageBox::Yes;
    child<QPushButton>("Button1")->click();
    EXPECT_EQ(child<QLineEdit>("edZipped")->text(), "n/a");
    EXPECT_EQ(settingsFile().readInteger("Vastel", "NZip", 0), -1);

    child<QPushButton>("btCancel")->click();
    EXPECT_FALSE(w->isVisible());
}

TEST_F(StatisticsWindow, PrintsTheTypeListingAsAReport) {
    collect("c");
    w->notebook()->setCurrentIndex(TfrmStatistics::pgTypes);
    child<QRadioButton>("rgTypes0")->click();
    EXPECT_TRUE(child<QWidget>("btSort")->isVisible());
    EXPECT_TRUE(child<QWidget>("gridTypes")->isVisible());
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = world.path("types.pdf");
    printer.setOutputFileName(pdf);
    ASSERT_TRUE(w->printPage(printer));
    EXPECT_GT(QFile(pdf).size(), 0);
    // Any other page prints the window's image.
    w->notebook()->setCurrentIndex(TfrmStatistics::pgSizes);
    printer.setOutputFileName(world.path("sizes.pdf"));
    ASSERT_TRUE(w->printPage(printer));
    EXPECT_GT(QFile(world.path("sizes.pdf")).size(), 0);
}

TEST_F(StatisticsWindow, FoldersThatCouldNotBeReadAreCountedAndListedOnAClick) {
    const QString docs = world.path("c/docs");
    platform::setOpenFault(docs, EACCES);
    collect("c");
    platform::clearOpenFaults();
    QStatusBar* bar = child<QStatusBar>("StatusBar1");
    EXPECT_EQ(bar->currentMessage(), "Finished - 2 files processed; 1 folder could not be read");
    boxes.shown.clear();
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), bar->mapToGlobal(QPointF(2, 2)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &release);
    EXPECT_EQ(boxes.texts(), QStringList({"1 folder could not be read:\n" + docs + ": " +
                                          platform::errorText(EACCES)}));

    // Read again in full, the line is as before and a click lists nothing.
    collect("c");
    EXPECT_EQ(bar->currentMessage(), "Finished - 4 files processed");
    boxes.shown.clear();
    QApplication::sendEvent(bar, &release);
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
}
