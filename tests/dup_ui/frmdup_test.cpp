#include "app/foldersfile.h"
#include "app/inifile.h"
#include "app/placements.h"
#include "app/shell.h"
#include "app/shell/frmmain.h"
#include "app/shell/tools.h"
#include "app/totals.h"
#include "app/ui/frmstandby.h"
#include "app/ui/shellopen.h"
#include "delete/ui/frmreallydelete.h"
#include "dup/dupsearch.h"
#include "dup/ui/frmdup.h"
#include "platform/contentread.h"
#include "platform/dirsearch.h"
#include "support/modalwindows.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMap>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <cerrno>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

template <typename T> T* child(QObject* w, const char* name) {
    T* found = w->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QPushButton* button(QWidget* w, const char* name) {
    return child<QPushButton>(w, name);
}

// Clicks Start and, when a scan began, waits until it has shown its result.
void startScan(TfrmDup& w) {
    ::startScan(w, button(&w, "btScan"));
}

QAction* menuItem(QWidget* w, const char* name) {
    return child<QAction>(w, name);
}

QString status(QWidget* w) {
    return child<QLabel>(w, "pnlSel")->text();
}

QTableView* gridView(QWidget* w) {
    return child<QTableView>(w, "grid");
}

void sendMouse(QWidget* target, QEvent::Type type, QPoint at) {
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// A double click on a result row (0 = first result row), as the mouse gives it.
void doubleClickRow(QWidget* w, int row) {
    QTableView* v = gridView(w);
    const QPoint at = v->visualRect(v->model()->index(row, 2)).center();
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                           QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
        sendMouse(v->viewport(), t, at);
}

// Press and release on a header cell.
void clickHeader(QWidget* w, int column) {
    QHeaderView* h = gridView(w)->horizontalHeader();
    const QPoint at(h->sectionViewportPosition(column) + h->sectionSize(column) / 2,
                    h->height() / 2);
    sendMouse(h->viewport(), QEvent::MouseButtonPress, at);
    sendMouse(h->viewport(), QEvent::MouseButtonRelease, at);
}

void pressKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

void selectRow(QWidget* w, int row) {
    QTableView* v = gridView(w);
    v->setCurrentIndex(v->model()->index(row, 0));
}

bool hasTick(QWidget* w, int row, int column) {
    const QAbstractItemModel* m = gridView(w)->model();
    return !m->data(m->index(row, column), Qt::DecorationRole).isNull();
}

// One column of the result rows, top to bottom.
QStringList column(const TfrmDup& w, int c) {
    QStringList out;
    for (int r = 1; r <= w.rowCount(); ++r)
        out << w.resultGrid().cell(c, r);
    return out;
}

class DupWindow : public ::testing::Test {
protected:
    void SetUp() override {
        world.useRegistry("REGEDIT4\r\n"
                          "\r\n"
                          "[HKEY_CLASSES_ROOT\\.txt]\r\n"
                          "@=\"txtfile\"\r\n"
                          "[HKEY_CLASSES_ROOT\\txtfile]\r\n"
                          "@=\"Text Document\"\r\n");
        shell::protection().build(nullptr, {}, QString(), QString());
    }
    void TearDown() override { shellopen::setOpener(nullptr); }

    QString c(const QString& relative) const { return world.path("c/" + relative); }

    // Sizes in bytes from `lower` up (the window starts at 250 KB).
    static void filterBytes(TfrmDup& w, double lower) {
        child<QComboBox>(&w, "cbKB1")->setCurrentIndex(0);
        child<QDoubleSpinBox>(&w, "num1")->setValue(lower);
    }

    // Two files named readme.txt (1,000 and 2,000 bytes) and one other, scanned by name.
    void scanReadmes(TfrmDup& w) {
        readme1 = world.makeFile("c/a/readme.txt", QByteArray(1000, 'a'));
        readme2 = world.makeFile("c/b/README.TXT", QByteArray(2000, 'b'));
        world.makeFile("c/b/other.dat", QByteArray(5, 'o'));
        w.show();
        filterBytes(w, 1);
        startScan(w);
    }

    SandboxWorld world;
    ScriptedBoxes boxes;
    QString readme1, readme2;
    // What the main window would give a new window.
    dups::Mode mode = dups::Mode::Duplicates;
    dups::SortDirections sorts;
};

} // namespace

TEST_F(DupWindow, DuplicateModeShowsItsControls) {
    TfrmDup w(nullptr, mode, sorts);
    w.show();
    EXPECT_EQ(w.windowTitle(), "Find and delete duplicate files");
    EXPECT_EQ(gridView(&w)->toolTip(),
              "Double click to mark for deletion, right click for options");
    EXPECT_EQ(button(&w, "btScan")->toolTip(), "Duplicates on file name only");
    for (const char* hidden :
         {"btAbort", "btMark", "btDelete", "btCompare", "btBrowse", "btDetails", "btOptions"})
        EXPECT_FALSE(button(&w, hidden)->isVisible()) << hidden;
    EXPECT_TRUE(button(&w, "btScan")->isEnabled()); // drive C is ticked in advance
    // Windows that are not part of the program yet.
    for (const char* off : {"btCompare", "btBrowse", "btDetails"})
        EXPECT_FALSE(button(&w, off)->isEnabled()) << off;
    EXPECT_FALSE(menuItem(&w, "miDetails")->isEnabled());
    EXPECT_FALSE(menuItem(&w, "miView")->isEnabled());

    EXPECT_EQ(child<QDoubleSpinBox>(&w, "num1")->value(), 250);
    EXPECT_EQ(child<QComboBox>(&w, "cbKB1")->currentText(), "KB");
    EXPECT_TRUE(child<QRadioButton>(&w, "rbLarger")->isChecked());
    EXPECT_FALSE(child<QWidget>(&w, "num2")->isVisible());
    EXPECT_FALSE(child<QLabel>(&w, "lblAnd")->isVisible());
    child<QRadioButton>(&w, "rbBetween")->setChecked(true);
    EXPECT_TRUE(child<QWidget>(&w, "num2")->isVisible());
    child<QRadioButton>(&w, "rbSmaller")->setChecked(true);
    EXPECT_FALSE(child<QWidget>(&w, "num2")->isVisible());

    EXPECT_TRUE(child<QComboBox>(&w, "cbDup")->isVisible());
    EXPECT_EQ(child<QLabel>(&w, "lblWild")->text(), "All files");
    EXPECT_FALSE(menuItem(&w, "miSort")->isVisible());
    EXPECT_TRUE(menuItem(&w, "miSortSize")->isChecked());

    // Headers and widths: six fixed columns, the last one takes the rest.
    QTableView* v = gridView(&w);
    ASSERT_EQ(v->model()->columnCount(), 7);
    EXPECT_EQ(v->model()->headerData(0, Qt::Horizontal).toString(), "Filename");
    EXPECT_EQ(v->model()->headerData(6, Qt::Horizontal).toString(), "Type");
    EXPECT_EQ(v->model()->rowCount(), 0);
    // At least the widths at 96 pixels per inch (more with a wider font), in their proportions.
    const double scale = w.logicalDpiX() / 96.0;
    const int widths[] = {93, 58, 64, 70, 70, 184};
    int sum = 0;
    for (int c = 0; c < 6; ++c) {
        EXPECT_GE(v->columnWidth(c), qRound(widths[c] * scale)) << c;
        EXPECT_NEAR(double(v->columnWidth(c)) / v->columnWidth(5), widths[c] / 184.0, 0.02) << c;
        sum += v->columnWidth(c);
    }
    w.resize(w.width() + 100, w.height());
    QApplication::processEvents();
    EXPECT_EQ(v->columnWidth(6), v->viewport()->width() - sum);
}

TEST_F(DupWindow, FileHogModeShowsItsControls) {
    mode = dups::Mode::FileHogs;
    TfrmDup w(nullptr, mode, sorts);
    w.show();
    EXPECT_EQ(w.mode(), dups::Mode::FileHogs);
    EXPECT_EQ(w.windowTitle(), "Find and delete file hogs");
    EXPECT_EQ(button(&w, "btScan")->toolTip(), "Start scanning for file hogs");
    EXPECT_FALSE(child<QComboBox>(&w, "cbDup")->isVisible());
    EXPECT_FALSE(child<QLabel>(&w, "lblDup")->isVisible());
    EXPECT_TRUE(menuItem(&w, "miSort")->isVisible());
    QTableView* v = gridView(&w);
    ASSERT_EQ(v->model()->columnCount(), 6);
    EXPECT_EQ(v->model()->headerData(4, Qt::Horizontal).toString(), "FileName");
    EXPECT_NEAR(double(v->columnWidth(4)) / v->columnWidth(0), 296 / 64.0, 0.05);

    child<QRadioButton>(&w, "rbBetween")->setChecked(true);
    child<QDoubleSpinBox>(&w, "num1")->setValue(10);
    child<QDoubleSpinBox>(&w, "num2")->setValue(9999999999.0); // ten digits
    child<QComboBox>(&w, "cbKB1")->setCurrentIndex(0);
    child<QComboBox>(&w, "cbWildCard")->setEditText("*.txt");
    EXPECT_EQ(w.printTitle(),
              "File Hogs in between 10 bytes and 9999999999 bytes matching *.txt on drive(s) C ");
}

TEST_F(DupWindow, SecondNumberBelowTheFirstStopsTheScan) {
    world.makeFile("c/a.txt", "aa");
    world.makeFile("c/b/a.txt", "aa");
    TfrmDup w(nullptr, mode, sorts);
    w.show();
    filterBytes(w, 300);
    child<QRadioButton>(&w, "rbBetween")->setChecked(true);
    child<QDoubleSpinBox>(&w, "num2")->setValue(299);
    startScan(w);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Error);
    EXPECT_EQ(boxes.shown[0].text,
              "The second number must be larger or equal than the first number");
    EXPECT_EQ(w.rowCount(), 0);
    EXPECT_TRUE(status(&w).isEmpty());

    // Equal numbers are a valid range: files of exactly that size.
    child<QDoubleSpinBox>(&w, "num1")->setValue(2);
    child<QDoubleSpinBox>(&w, "num2")->setValue(2);
    startScan(w);
    EXPECT_EQ(w.rowCount(), 2);
    EXPECT_EQ(boxes.shown.size(), 1);
}

TEST_F(DupWindow, ScanShowsTheGroupsOfDuplicates) {
    TfrmDup w(nullptr, mode, sorts);
    scanReadmes(w);
    EXPECT_TRUE(boxes.shown.isEmpty());
    ASSERT_EQ(w.rowCount(), 2);
    const QStringList first = w.resultGrid().rowCells(1);
    const QStringList second = w.resultGrid().rowCells(2);
    EXPECT_EQ(first[0], "readme.txt");
    EXPECT_EQ(first[1], "1,000");
    EXPECT_FALSE(first[2].isEmpty()); // modified date
    EXPECT_FALSE(first[3].isEmpty()); // time
    EXPECT_EQ(first[5], c("a"));
    EXPECT_EQ(first[6], "Text Document");
    EXPECT_EQ(second[0], "README.TXT");
    EXPECT_EQ(second[1], "2,000");
    EXPECT_EQ(second[5], c("b"));
    EXPECT_EQ(status(&w), "2 duplicates found");

    // The view shows the rows, sizes right-aligned.
    QTableView* v = gridView(&w);
    ASSERT_EQ(v->model()->rowCount(), 2);
    EXPECT_EQ(v->model()->index(1, 0).data().toString(), "README.TXT");
    EXPECT_TRUE(v->model()->index(0, 1).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
    EXPECT_FALSE(v->model()->index(0, 0).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight);

    for (const char* shown :
         {"btMark", "btDelete", "btOptions", "btBrowse", "btDetails", "btCompare"})
        EXPECT_TRUE(button(&w, shown)->isVisible()) << shown;
    EXPECT_FALSE(button(&w, "btAbort")->isVisible());
    EXPECT_FALSE(button(&w, "btDelete")->isEnabled()); // nothing marked yet
    EXPECT_TRUE(button(&w, "btScan")->isEnabled());
    EXPECT_TRUE(button(&w, "btClose")->isEnabled());
    EXPECT_TRUE(child<QWidget>(&w, "pckDrive")->isEnabled());
}

TEST_F(DupWindow, NothingFoundSaysSo) {
    world.makeFile("c/small.txt", "small");
    world.makeFile("c/b/small.txt", "small");
    TfrmDup w(nullptr, mode, sorts);
    w.show();
    startScan(w); // 250 KB and more: nothing
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Information);
    EXPECT_EQ(boxes.shown[0].text, "No files found.");
    EXPECT_EQ(w.rowCount(), 0);
    EXPECT_FALSE(button(&w, "btMark")->isVisible());
    EXPECT_FALSE(button(&w, "btOptions")->isVisible());
    EXPECT_TRUE(button(&w, "btScan")->isEnabled());
}

TEST_F(DupWindow, AbortDuringTheWalkStopsItAndCloseWaits) {
    // Drive C cannot be opened; while its message is up the user aborts, so drive D, whose files
    // would all be found, is never walked.
    world.setDrives({"C", "D"});
    world.makeFile("d/a/same.txt", "x");
    world.makeFile("d/b/same.txt", "x");
    platform::setOpenFault(world.path("c"), EACCES);
    TfrmDup w(nullptr, mode, sorts);
    w.show();
    filterBytes(w, 1);
    auto* drives = child<QListWidget>(&w, "pckDrive");
    ASSERT_EQ(drives->count(), 2);
    drives->item(0)->setCheckState(Qt::Checked);
    drives->item(1)->setCheckState(Qt::Checked);

    QStringList texts;
    bool stateDuringWalk = false;
    msgbox::setHandler([&](const msgbox::Request& r) {
        texts << r.text;
        if (texts.size() == 1) {
            stateDuringWalk = w.scanning() && button(&w, "btAbort")->isVisible() &&
                              !button(&w, "btScan")->isEnabled() &&
                              !button(&w, "btClose")->isEnabled() &&
                              !child<QWidget>(&w, "cbWildCard")->isEnabled();
            w.close(); // refused while the walk runs
            button(&w, "btAbort")->click();
        }
        return QMessageBox::Ok;
    });
    startScan(w);
    platform::clearOpenFaults();

    EXPECT_TRUE(stateDuringWalk);
    EXPECT_EQ(texts, QStringList({"Can't open drive " + world.path("c"),
                                  "LIST INCOMPLETE ... ABORTED BY USER", "No files found."}));
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.scanning());
    EXPECT_FALSE(button(&w, "btAbort")->isVisible());
    EXPECT_TRUE(button(&w, "btScan")->isEnabled());
    EXPECT_TRUE(button(&w, "btClose")->isEnabled());
}

TEST_F(DupWindow, MarkingTogglesTheCountersAndTheList) {
    TfrmDup w(nullptr, mode, sorts);
    scanReadmes(w);
    ASSERT_EQ(w.rowCount(), 2);

    doubleClickRow(&w, 0);
    EXPECT_EQ(w.lbDeleted(), QStringList({readme1}));
    EXPECT_EQ(w.markedCount(), 1);
    EXPECT_EQ(w.markedBytes(), 1000);
    EXPECT_EQ(status(&w), "1 files 1,000 bytes");
    EXPECT_TRUE(button(&w, "btDelete")->isEnabled());
    EXPECT_TRUE(hasTick(&w, 0, 0));
    EXPECT_FALSE(hasTick(&w, 0, 1));
    EXPECT_FALSE(hasTick(&w, 1, 0));

    doubleClickRow(&w, 0); // twice: as before
    EXPECT_TRUE(w.lbDeleted().isEmpty());
    EXPECT_EQ(w.markedCount(), 0);
    EXPECT_EQ(w.markedBytes(), 0);
    EXPECT_EQ(status(&w), "0 files 0 bytes");
    EXPECT_FALSE(button(&w, "btDelete")->isEnabled());
    EXPECT_FALSE(hasTick(&w, 0, 0));

    // Mark: toggles the selected row and moves down, except on the last row.
    selectRow(&w, 0);
    button(&w, "btMark")->click();
    EXPECT_EQ(gridView(&w)->currentIndex().row(), 1);
    button(&w, "btMark")->click();
    EXPECT_EQ(gridView(&w)->currentIndex().row(), 1);
    EXPECT_EQ(w.lbDeleted(), QStringList({readme1, readme2}));
    EXPECT_EQ(status(&w), "2 files 3,000 bytes");
    EXPECT_TRUE(button(&w, "btDelete")->isEnabled());

    // The Delete key acts as Mark.
    pressKey(gridView(&w), Qt::Key_Delete);
    EXPECT_EQ(w.lbDeleted(), QStringList({readme1}));
    EXPECT_EQ(status(&w), "1 files 1,000 bytes");

    // A file gone since the scan: the tick turns over, the counters stay.
    ASSERT_TRUE(QFile::remove(readme2));
    selectRow(&w, 1);
    button(&w, "btMark")->click();
    EXPECT_TRUE(hasTick(&w, 1, 0));
    EXPECT_EQ(w.markedCount(), 1);
    EXPECT_EQ(w.lbDeleted(), QStringList({readme1, readme2}));
}

// Names that upper-case alike but differ ignoring case are groups of their own, each listed with
// both its copies; Mark all marks every row, as it always has.
TEST_F(DupWindow, NamesThatUpperCaseAlikeAreListedAsGroupsOfTheirOwn) {
    const QStringList names = {QStringLiteral("strasse.txt"), QStringLiteral("stra\u00dfe.txt"),
                               QStringLiteral("file.txt"), QStringLiteral("f\u0131le.txt")};
    QMap<QString, QStringList> copies;
    for (const QString& name : names)
        for (const QString& folder : {QStringLiteral("c/a/"), QStringLiteral("c/b/")})
            copies[name] << world.makeFile(folder + name, name.toUtf8());
    TfrmDup w(nullptr, mode, sorts);
    w.show();
    filterBytes(w, 1);
    startScan(w);
    ASSERT_EQ(w.rowCount(), 8);
    menuItem(&w, "miMarkAll")->trigger();
    EXPECT_EQ(w.markedCount(), 8);
    for (const QString& name : names)
        for (const QString& path : copies.value(name))
            EXPECT_TRUE(w.lbDeleted().contains(path)) << path.toStdString();
}

TEST_F(DupWindow, MarkAllUnmarkAllAndANewScan) {
    TfrmDup w(nullptr, mode, sorts);
    scanReadmes(w);
    selectRow(&w, 1);
    menuItem(&w, "miMarkAll")->trigger();
    EXPECT_TRUE(hasTick(&w, 0, 0));
    EXPECT_TRUE(hasTick(&w, 1, 0));
    EXPECT_EQ(gridView(&w)->currentIndex().row(), 1);
    EXPECT_EQ(w.markedCount(), 2);
    EXPECT_EQ(w.lbDeleted(), QStringList({readme1, readme2}));
    EXPECT_EQ(status(&w), "2 files 3,000 bytes");
    EXPECT_TRUE(button(&w, "btDelete")->isEnabled()); // marked files can be cleaned at once
    menuItem(&w, "miMarkAll")->trigger();             // again: not counted twice
    EXPECT_EQ(w.markedCount(), 2);
    EXPECT_EQ(w.lbDeleted().size(), 2);

    menuItem(&w, "miUnmarkAll")->trigger();
    EXPECT_EQ(w.markedCount(), 0);
    EXPECT_TRUE(w.lbDeleted().isEmpty());
    EXPECT_EQ(status(&w), "0 files 0 bytes");
    EXPECT_FALSE(button(&w, "btDelete")->isEnabled());
    EXPECT_FALSE(hasTick(&w, 0, 0));

    // A new scan drops every mark.
    doubleClickRow(&w, 1);
    ASSERT_TRUE(button(&w, "btDelete")->isEnabled());
    startScan(w);
    EXPECT_EQ(w.rowCount(), 2);
    EXPECT_EQ(w.markedCount(), 0);
    EXPECT_EQ(w.markedBytes(), 0);
    EXPECT_TRUE(w.lbDeleted().isEmpty());
    EXPECT_FALSE(button(&w, "btDelete")->isEnabled());
    EXPECT_FALSE(hasTick(&w, 1, 0));
}

TEST_F(DupWindow, FileHogsComeLargestFirstAndSortByTheirHeaders) {
    mode = dups::Mode::FileHogs;
    const QString b = world.makeFile("c/b.txt", QByteArray(300, 'b'));
    const QString cc = world.makeFile("c/c.txt", QByteArray(100, 'c'));
    const QString a = world.makeFile("c/sub/a.txt", QByteArray(200, 'a'));
    TfrmDup w(nullptr, mode, sorts);
    w.show();
    filterBytes(w, 1);
    startScan(w);
    ASSERT_EQ(w.rowCount(), 3);
    EXPECT_EQ(column(w, 0), QStringList({"300", "200", "100"}));
    EXPECT_EQ(column(w, 4), QStringList({b, a, cc}));
    EXPECT_EQ(column(w, 5), QStringList(3, "Text Document"));
    EXPECT_EQ(status(&w), "3 file hogs found");
    EXPECT_FALSE(button(&w, "btCompare")->isVisible());
    EXPECT_TRUE(menuItem(&w, "miSortSize")->isChecked());

    clickHeader(&w, 0); // "Size" again: smallest first
    EXPECT_EQ(column(w, 0), QStringList({"100", "200", "300"}));
    clickHeader(&w, 4); // "FileName": A to Z
    EXPECT_EQ(column(w, 4), QStringList({b, cc, a}));
    EXPECT_TRUE(menuItem(&w, "miSortName")->isChecked());
    EXPECT_FALSE(menuItem(&w, "miSortSize")->isChecked());
    clickHeader(&w, 2); // "Time": nothing
    EXPECT_EQ(column(w, 4), QStringList({b, cc, a}));
    EXPECT_TRUE(menuItem(&w, "miSortName")->isChecked());

    // The menu sorts the same way; the mark sits in the FileName column and moves with its row.
    selectRow(&w, 0);
    button(&w, "btMark")->click();
    EXPECT_TRUE(hasTick(&w, 0, 4));
    EXPECT_FALSE(hasTick(&w, 0, 0));
    menuItem(&w, "miSortSize")->trigger(); // size runs descending now
    EXPECT_EQ(column(w, 0), QStringList({"300", "200", "100"}));
    EXPECT_TRUE(hasTick(&w, 0, 4));
    EXPECT_EQ(gridView(&w)->currentIndex().row(), 1); // the selection keeps its line
    EXPECT_EQ(w.lbDeleted(), QStringList({b}));
    EXPECT_EQ(status(&w), "1 files 300 bytes");
}

// After a scan the columns of sizes, dates and times show their widest text whole, cell margins
// included, also after the window is resized; the file name column keeps its designed width.
TEST_F(DupWindow, FileHogColumnsShowWholeSizesAndDates) {
    mode = dups::Mode::FileHogs;
    const QString huge = world.makeFile("c/huge.img", "x");
    ASSERT_TRUE(QFile::resize(huge, 7069451234567LL)); // sparse: some 7 TB
    world.makeFile("c/small.txt", "yy");
    TfrmDup w(nullptr, mode, sorts);
    w.show();
    QTableView* v = gridView(&w);
    const int nameWidth = v->columnWidth(dups::hcFileName);
    filterBytes(w, 1);
    startScan(w);
    ASSERT_EQ(w.rowCount(), 2);
    ASSERT_EQ(w.resultGrid().cell(dups::hcFileName, 1), huge);
    const int margins = 2 * (v->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, v) + 1);
    const auto needed = [&](int c) {
        return v->fontMetrics().horizontalAdvance(w.resultGrid().cell(c, 1)) + margins;
    };
    for (bool resized : {false, true}) {
        if (resized)
            w.resize(w.width() + 40, w.height());
        for (int c : {dups::hcSize, dups::hcModified, dups::hcTime, dups::hcAccess})
            EXPECT_GE(v->columnWidth(c), needed(c)) << c << " " << resized;
        EXPECT_EQ(v->columnWidth(dups::hcFileName), nameWidth);
    }
}

TEST_F(DupWindow, RunOpensTheSelectedFileOrSaysItCouldNot) {
    QList<QUrl> opened;
    bool succeed = true;
    shellopen::setOpener([&](const QUrl& url) {
        opened << url;
        return succeed;
    });
    TfrmDup w(nullptr, mode, sorts);
    scanReadmes(w);
    selectRow(&w, 1);
    menuItem(&w, "miRun")->trigger();
    EXPECT_EQ(opened, QList<QUrl>({QUrl::fromLocalFile(readme2)}));
    EXPECT_TRUE(boxes.shown.isEmpty());

    succeed = false;
    menuItem(&w, "miRun")->trigger();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Error);
    EXPECT_EQ(boxes.shown[0].text, "Couldn't run " + readme2);

    // A file that is gone is not run at all.
    ASSERT_TRUE(QFile::remove(readme2));
    menuItem(&w, "miRun")->trigger();
    EXPECT_EQ(opened.size(), 2);
    EXPECT_EQ(boxes.shown.size(), 1);
}

TEST_F(DupWindow, ClipboardGetsThePathOfEveryRow) {
    TfrmDup w(nullptr, mode, sorts);
    scanReadmes(w);
    QGuiApplication::clipboard()->setText("old");
    menuItem(&w, "miClipboard")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), readme1 + "\r\n" + readme2);
}

TEST_F(DupWindow, CleanHandsTheMarkedFilesOverAndCloses) {
    TfrmDup w(nullptr, mode, sorts);
    scanReadmes(w);
    doubleClickRow(&w, 0);
    ASSERT_EQ(w.markedBytes(), 1000);

    whenModalOpen<TfrmReallyDelete>([this](TfrmReallyDelete* d) {
        // The two files share a name, not their bytes: the marked one is the last copy of its
        // contents and goes only when the user chooses it.
        EXPECT_TRUE(d->deletionPanel().isEmpty());
        EXPECT_EQ(d->lastCopyPanel(), QStringList({readme1}));
        EXPECT_EQ(d->archiveTag(), "Duplicates");
        EXPECT_EQ(d->savings(), 1000);
        QListView* last = child<QListView>(d, "lbLastCopy");
        last->selectionModel()->setCurrentIndex(last->model()->index(0, 0),
                                                QItemSelectionModel::Select);
        child<QPushButton>(d, "btDisposeAnyway")->click();
        EXPECT_EQ(d->deletionPanel(), QStringList({readme1}));
        child<QPushButton>(d, "btDelete")->click();
    });
    button(&w, "btDelete")->click();

    EXPECT_EQ(boxes.texts(), QStringList({"Really delete?"}));
    EXPECT_FALSE(QFileInfo::exists(readme1));
    EXPECT_TRUE(QFileInfo::exists(readme2));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), 1);
    const Totals t = readTotals(settingsFile());
    EXPECT_EQ(t.ndelete, 1);
    EXPECT_EQ(t.sizeDelete, 1000);
}

TEST_F(DupWindow, CancelledHandOverLeavesTheWindowAsItWas) {
    TfrmDup w(nullptr, mode, sorts);
    scanReadmes(w);
    doubleClickRow(&w, 1);
    whenModalOpen<TfrmReallyDelete>(
        [](TfrmReallyDelete* d) { child<QPushButton>(d, "btClose")->click(); });
    button(&w, "btDelete")->click();

    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.lbDeleted(), QStringList({readme2}));
    EXPECT_EQ(w.markedBytes(), 2000);
    EXPECT_TRUE(hasTick(&w, 1, 0));
    EXPECT_TRUE(button(&w, "btDelete")->isEnabled());
    EXPECT_TRUE(QFileInfo::exists(readme2));
    EXPECT_EQ(readTotals(settingsFile()).ndelete, -1);
}

TEST_F(DupWindow, TopPanelShrinksAndComesBack) {
    TfrmDup w(nullptr, mode, sorts);
    w.show();
    QWidget* top = child<QWidget>(&w, "pnlTop");
    const int height = top->height();
    ASSERT_GT(height, 0);
    EXPECT_TRUE(menuItem(&w, "miShrink")->isEnabled());
    EXPECT_FALSE(menuItem(&w, "miRestore")->isEnabled());

    menuItem(&w, "miShrink")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(top->height(), 0);
    EXPECT_FALSE(menuItem(&w, "miShrink")->isEnabled());
    EXPECT_TRUE(menuItem(&w, "miRestore")->isEnabled());

    menuItem(&w, "miRestore")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(top->height(), height);
    EXPECT_TRUE(menuItem(&w, "miShrink")->isEnabled());
    EXPECT_FALSE(menuItem(&w, "miRestore")->isEnabled());
}

TEST_F(DupWindow, ClosingStoresThePlacementOfTheMode) {
    {
        TfrmDup w(nullptr, mode, sorts);
        w.show();
        w.move(40, 30);
        button(&w, "btClose")->click();
        EXPECT_FALSE(w.isVisible());
    }
    EXPECT_FALSE(readPlacementText(PlacementWindow::DuplicateSearch).isEmpty());
    EXPECT_TRUE(readPlacementText(PlacementWindow::FileHogs).isEmpty());

    mode = dups::Mode::FileHogs;
    {
        TfrmDup w(nullptr, mode, sorts);
        w.show();
        w.close();
    }
    EXPECT_FALSE(readPlacementText(PlacementWindow::FileHogs).isEmpty());
}

TEST_F(DupWindow, TheMainWindowOpensBothTools) {
    registerTools();
    world.makeDir("c/keep");
    ASSERT_TRUE(writeFoldersFile({c("keep/")}));
    TfrmMain main;
    main.GetSearchPath();
    main.show();
    ASSERT_TRUE(main.button("btDuplicate")->isEnabled());
    ASSERT_TRUE(main.button("btFileHog")->isEnabled());

    QStringList titles;
    const auto closeWhenOpen = [&titles] {
        QTimer::singleShot(10, [&titles] {
            auto* d = qobject_cast<TfrmDup*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            titles << d->windowTitle();
            d->close();
        });
    };
    closeWhenOpen();
    main.button("btFileHog")->click();
    closeWhenOpen();
    main.button("btDuplicate")->click();
    EXPECT_EQ(titles,
              QStringList({"Find and delete file hogs", "Find and delete duplicate files"}));
    EXPECT_TRUE(boxes.shown.isEmpty());

    TfrmMain::setToolFactory(TfrmMain::Tool::Duplicate, nullptr);
    TfrmMain::setToolFactory(TfrmMain::Tool::FileHog, nullptr);
}

// ---- Same contents ----------------------------------------------------------------------------

TEST_F(DupWindow, SameContentsIsOffByDefaultAndRemembered) {
    {
        TfrmDup w(nullptr, mode, sorts);
        w.show();
        auto* tick = child<QCheckBox>(&w, "cbSameContents");
        EXPECT_TRUE(tick->isVisible());
        EXPECT_FALSE(tick->isChecked());
        tick->setChecked(true);
    }
    EXPECT_EQ(settingsFile().readInteger("frmDups", "SameContents", -1), 1);
    {
        TfrmDup w(nullptr, mode, sorts);
        EXPECT_TRUE(child<QCheckBox>(&w, "cbSameContents")->isChecked());
        child<QCheckBox>(&w, "cbSameContents")->setChecked(false);
    }
    TfrmDup w(nullptr, mode, sorts);
    EXPECT_FALSE(child<QCheckBox>(&w, "cbSameContents")->isChecked());
    TfrmDup hogs(nullptr, dups::Mode::FileHogs, sorts);
    hogs.show();
    EXPECT_FALSE(child<QCheckBox>(&hogs, "cbSameContents")->isVisible());
}

// Names alike, bytes not: the tick splits the name's group and lists true copies only.
TEST_F(DupWindow, SameContentsListsOnlyFilesOfOneContents) {
    const QString a1 = world.makeFile("c/1/a.txt", "same");
    world.makeFile("c/2/a.txt", "diff");
    const QString a3 = world.makeFile("c/3/a.txt", "same");
    world.makeFile("c/1/b.txt", "one");
    world.makeFile("c/2/b.txt", "two");
    TfrmDup w(nullptr, mode, sorts);
    w.show();
    filterBytes(w, 0);
    startScan(w);
    EXPECT_EQ(w.rowCount(), 5); // without the tick: the names' groups

    child<QCheckBox>(&w, "cbSameContents")->setChecked(true);
    startScan(w);
    ASSERT_EQ(w.rowCount(), 2);
    EXPECT_EQ(dups::rowPath(w.resultGrid(), 1, mode), a1);
    EXPECT_EQ(dups::rowPath(w.resultGrid(), 2, mode), a3);
    EXPECT_EQ(w.resultGrid().group(1), 1u);
    EXPECT_EQ(w.resultGrid().group(2), 1u);
    EXPECT_EQ(status(&w), "2 duplicates found");
    EXPECT_TRUE(boxes.shown.isEmpty());
}

// Every copy marked: the deletion window lets the copies go and keeps the first of them.
TEST_F(DupWindow, EveryCopyMarkedLeavesOneOfThemOnDisk) {
    const QString a1 = world.makeFile("c/1/a.txt", "same");
    const QString a2 = world.makeFile("c/2/a.txt", "same");
    const QString a3 = world.makeFile("c/3/a.txt", "same");
    TfrmDup w(nullptr, mode, sorts);
    w.show();
    filterBytes(w, 0);
    child<QCheckBox>(&w, "cbSameContents")->setChecked(true);
    startScan(w);
    ASSERT_EQ(w.rowCount(), 3);
    for (int row = 0; row < 3; ++row)
        doubleClickRow(&w, row);
    whenModalOpen<TfrmReallyDelete>([&](TfrmReallyDelete* d) {
        EXPECT_EQ(d->deletionPanel(), QStringList({a2, a3}));
        EXPECT_EQ(d->lastCopyPanel(), QStringList({a1}));
        child<QPushButton>(d, "btDelete")->click();
    });
    button(&w, "btDelete")->click();
    EXPECT_TRUE(QFileInfo::exists(a1));
    EXPECT_FALSE(QFileInfo::exists(a2));
    EXPECT_FALSE(QFileInfo::exists(a3));
}

// Abort while the contents are read ends the comparison at once; the criterion's groups stay.
TEST_F(DupWindow, AbortWhileComparingContents) {
    for (const char* path : {"c/1/big.bin", "c/2/big.bin"}) {
        QFile f(world.makeFile(path));
        ASSERT_TRUE(f.resize(64LL * 1024 * 1024));
    }
    platform::setContentReadFault([](const QString&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return 0;
    });
    TfrmDup w(nullptr, mode, sorts);
    w.show();
    filterBytes(w, 0);
    child<QCheckBox>(&w, "cbSameContents")->setChecked(true);
    bool closeRefused = false;
    QTimer poll;
    QElapsedTimer sinceAbort;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (status(&w).startsWith("Comparing contents") && !sinceAbort.isValid()) {
            EXPECT_TRUE(button(&w, "btAbort")->isVisible());
            EXPECT_FALSE(child<QWidget>(&w, "cbSameContents")->isEnabled());
            w.close();
            closeRefused = w.isVisible();
            sinceAbort.start();
            button(&w, "btAbort")->click();
        }
    });
    poll.start(10);
    startScan(w);
    poll.stop();
    platform::setContentReadFault(nullptr);
    ASSERT_TRUE(sinceAbort.isValid());
    EXPECT_LT(sinceAbort.elapsed(), 3000);
    EXPECT_TRUE(closeRefused);
    EXPECT_FALSE(w.scanning());
    EXPECT_EQ(w.rowCount(), 2);
    EXPECT_TRUE(button(&w, "btScan")->isEnabled());
}
