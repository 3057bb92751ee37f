#include "app/crc32.h"
#include "app/protection.h"
#include "app/ui/resultgrid.h"
#include "app/ui/shellopen.h"
#include "dup/crc32calc.h"
#include "dup/paircheck.h"
#include "dup/ui/frmdup.h"
#include "dup/ui/frmdupcompare.h"
#include "dup/ui/pairarrow.h"
#include "platform/filesync.h"
#include "support/modalwindows.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QColor kAqua(0, 255, 255);
constexpr qint64 kNoon = 1700000000;
constexpr qint64 kDay = 86400;

template <typename T> T* child(QObject* w, const QString& name) {
    T* found = w->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

QString text(QObject* w, const QString& name) {
    return child<QLabel>(w, name)->text();
}

bool aqua(QObject* w, const QString& name) {
    return child<QWidget>(w, name)->palette().color(QPalette::Window) == kAqua;
}

dups::Arrow arrow(QObject* w, const char* name) {
    return child<PairArrow>(w, QLatin1String(name))->arrow();
}

void click(QObject* w, const char* name) {
    child<QPushButton>(w, QLatin1String(name))->click();
}

quint32 crcOf(const QByteArray& bytes) {
    return crc32::checksum(0, bytes.constData(), bytes.size());
}

// Another text of the same length and CRC-32: the checksum is affine in the bits of a text of
// fixed length, so some set of the 64 bits of bytes 8..15 flips the checksum by nothing.  The
// flip vectors of single bits are reduced over GF(2) until two agree.
QByteArray sameCrcOtherBytes(const QByteArray& text) {
    const quint32 base = crcOf(text);
    QList<QPair<quint32, quint64>> basis; // (reduced flip vector, bits that make it)
    for (int bit = 0; bit < 64; ++bit) {
        QByteArray flipped = text;
        flipped[8 + bit / 8] = char(flipped[8 + bit / 8] ^ (1 << (bit % 8)));
        quint32 vector = crcOf(flipped) ^ base;
        quint64 bits = quint64(1) << bit;
        for (const auto& [v, b] : std::as_const(basis))
            if ((vector ^ v) < vector) {
                vector ^= v;
                bits ^= b;
            }
        if (vector == 0) {
            QByteArray other = text;
            for (int k = 0; k < 64; ++k)
                if (bits & (quint64(1) << k))
                    other[8 + k / 8] = char(other[8 + k / 8] ^ (1 << (k % 8)));
            return other;
        }
        basis.append({vector, bits});
        std::sort(basis.begin(), basis.end(), [](const auto& a, const auto& b) {
            return a.first > b.first; // highest leading bit first
        });
    }
    return QByteArray();
}

class CompareWindow : public ::testing::Test {
protected:
    void SetUp() override {
        world.useRegistry("REGEDIT4\r\n\r\n"
                          "[HKEY_CLASSES_ROOT\\.txt]\r\n@=\"txtfile\"\r\n"
                          "[HKEY_CLASSES_ROOT\\txtfile]\r\n@=\"Text Document\"\r\n");
        protection.build(nullptr, {}, QString(), QString());
        dup = std::make_unique<TfrmDup>(nullptr, dups::Mode::Duplicates, sorts, nullptr, &compare);
    }
    void TearDown() override { shellopen::setOpener(nullptr); }

    QString file(const QString& relative, const QByteArray& content, qint64 when = kNoon) {
        const QString path = world.makeFile("c/" + relative, content);
        EXPECT_TRUE(platform::setFileTimes(path, when));
        return path;
    }

    // Scans drive C for files of a byte or more under the criterion and opens the comparison
    // on the first row.
    void scanAndCompare(dups::Criterion criterion = dups::FilenameOnly) {
        dup->show();
        child<QComboBox>(dup.get(), "cbKB1")->setCurrentIndex(0);
        child<QDoubleSpinBox>(dup.get(), "num1")->setValue(1);
        child<QComboBox>(dup.get(), "cbDup")->setCurrentIndex(int(criterion));
        ::startScan(*dup, child<QPushButton>(dup.get(), "btScan"));
        ASSERT_GT(dup->rowCount(), 1);
        click(dup.get(), "btCompare");
        ASSERT_TRUE(compare.isVisible());
    }

    // The checksums run on a thread of their own: runs the event loop until they have ended
    // (at most `cap` ms) and says whether they did.
    bool waitForChecksums(qint64 cap = 10000) {
        QElapsedTimer timer;
        timer.start();
        // The check's own timer wakes the loop while it runs.
        while (compare.checksumsRunning() && timer.elapsed() < cap)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return !compare.checksumsRunning();
    }

    // A sparse file of 2 GiB below drive C: nothing is written, every byte reads as zero.
    QString bigFile(const QString& relative) {
        const QString path = file(relative, QByteArray());
        EXPECT_TRUE(QFile::resize(path, kBig));
        return path;
    }

    // The outcomes of the window's checks, in order.
    void recordChecks() {
        auto* check = child<dups::PairCheck>(&compare, "pairCheck");
        QObject::connect(check, &dups::PairCheck::finished,
                         [this](const dups::PairCheckResult& result) { checks.append(result); });
    }

    static constexpr qint64 kBig = qint64(2) * 1024 * 1024 * 1024;

    SandboxWorld world;
    ScriptedBoxes boxes;
    QList<dups::PairCheckResult> checks;
    ProtectedFolders protection;
    dups::SortDirections sorts;
    TfrmDupCompare compare{nullptr, protection};
    std::unique_ptr<TfrmDup> dup;
};

} // namespace

TEST_F(CompareWindow, TwoCopiesDifferOnlyInFolderAndDate) {
    file("a/same.txt", "the same text", kNoon);
    file("b/same.txt", "the same text", kNoon + 3 * kDay);
    scanAndCompare();
    EXPECT_EQ(compare.windowTitle(), "Compare file pairs");
    EXPECT_EQ(compare.selectedRow(), 1);
    EXPECT_EQ(child<QGroupBox>(&compare, "GroupBox1")->title(), "same.txt");
    EXPECT_EQ(text(&compare, "lblFolder1"), world.path("c/a"));
    EXPECT_EQ(text(&compare, "lblFolder2"), world.path("c/b"));
    EXPECT_EQ(text(&compare, "lblSizeBytes2"), "13 bytes");
    for (const char* differs : {"lblFolder", "lblModify", "lblAccess"})
        for (const char* n : {"1", "2"})
            EXPECT_TRUE(aqua(&compare, QLatin1String(differs) + n)) << differs << n;
    for (const char* same : {"lblSizeBytes1", "lblType2", "lblAttributes1", "lblCRC2"})
        EXPECT_FALSE(aqua(&compare, QLatin1String(same))) << same;
    // The right file was written and read later; both have no version resource.
    EXPECT_EQ(arrow(&compare, "imModify"), dups::Arrow::Right);
    EXPECT_EQ(arrow(&compare, "imAccess"), dups::Arrow::Right);
    EXPECT_FALSE(child<QListWidget>(&compare, "tlBox1")->isVisible());

    // Checksums on request, and on every step once the box is ticked.
    click(&compare, "btCompute");
    ASSERT_TRUE(waitForChecksums());
    EXPECT_TRUE(text(&compare, "lblCRC1").endsWith(" file contents are identical"));
    EXPECT_EQ(text(&compare, "lblCRC1"), text(&compare, "lblCRC2"));
    QFile f(compare.side(1).path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("the sane text");
    f.close();
    child<QCheckBox>(&compare, "cbCRC")->setChecked(true);
    click(dup.get(), "btCompare");
    ASSERT_TRUE(waitForChecksums());
    EXPECT_TRUE(text(&compare, "lblCRC2").endsWith(" file contents differ"));
    EXPECT_TRUE(aqua(&compare, "lblCRC2"));

    // Printed on white, then highlighted again.
    QTemporaryDir out;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out.filePath("pair.pdf"));
    EXPECT_TRUE(compare.printWindow(printer));
    EXPECT_GT(QFile(out.filePath("pair.pdf")).size(), 0);
    EXPECT_TRUE(aqua(&compare, "lblFolder1"));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(CompareWindow, TwoTextsOfOneChecksumButDifferentBytesDiffer) {
    const QByteArray words = "a text of exactly forty-eight bytes, more or le";
    const QByteArray other = sameCrcOtherBytes(words);
    ASSERT_EQ(other.size(), words.size());
    ASSERT_NE(other, words);
    ASSERT_EQ(crcOf(other), crcOf(words));
    file("a/note.txt", words);
    file("b/note.txt", other);
    scanAndCompare(dups::FilenameAndSize);
    click(&compare, "btCompute");
    ASSERT_TRUE(waitForChecksums());
    const QString crc = QString::asprintf("%8X", crcOf(words));
    EXPECT_EQ(text(&compare, "lblCRC1"), crc + " file contents differ");
    EXPECT_EQ(text(&compare, "lblCRC2"), crc + " file contents differ");
}

TEST_F(CompareWindow, NextAndPrevFollowTheCriterionAndTheDuplicateWindowsSelection) {
    // Under "Size only": three files of 5 bytes, then two of 7.
    for (const char* name : {"a1.txt", "a2.txt", "a3.txt"})
        file(name, "12345");
    file("b1.txt", "1234567");
    file("b2.txt", "1234567");
    scanAndCompare(dups::SizeOnly);
    ASSERT_EQ(compare.copyGrid().rowCount(), 6);
    MarkedResultGrid* source = dup->results();

    click(&compare, "sbR1");
    EXPECT_EQ(compare.selectedRow(), 2);
    EXPECT_EQ(source->selectedGridRow(), 2);
    // Row 3 does not pair with row 4: the next pair is 4 and 5, the last one.
    click(&compare, "sbR1");
    EXPECT_EQ(compare.selectedRow(), 4);
    EXPECT_EQ(compare.side(1).name, "b2.txt");
    click(&compare, "sbR1");
    EXPECT_EQ(compare.selectedRow(), 4);
    // PgUp steps back as Prev pair does, to row 2, then 1, then nothing.
    for (QShortcut* key : compare.findChildren<QShortcut*>())
        if (key->key() == QKeySequence(Qt::Key_PageUp))
            emit key->activated();
    EXPECT_EQ(compare.selectedRow(), 2);
    EXPECT_EQ(source->selectedGridRow(), 2);
    click(&compare, "sbL1");
    click(&compare, "sbL1");
    EXPECT_EQ(compare.selectedRow(), 1);

    // Mark toggles the row's mark in the duplicate window, with its Clean? button.
    auto* clean = child<QPushButton>(dup.get(), "btDelete");
    click(&compare, "btMark2");
    EXPECT_EQ(dup->lbDeleted(), QStringList{compare.side(1).path});
    EXPECT_TRUE(clean->isEnabled());
    click(&compare, "btMark2");
    EXPECT_TRUE(dup->lbDeleted().isEmpty());
    EXPECT_FALSE(clean->isEnabled());
}

TEST_F(CompareWindow, AVanishedFileLeavesItsSideEmpty) {
    file("a/gone.txt", "soon gone");
    const QString gone = file("b/gone.txt", "soon gone");
    scanAndCompare();
    child<QCheckBox>(&compare, "cbCRC")->setChecked(true);
    ASSERT_TRUE(QFile::remove(gone));
    click(dup.get(), "btCompare");
    ASSERT_TRUE(waitForChecksums());
    EXPECT_FALSE(compare.side(1).found);
    EXPECT_EQ(child<QGroupBox>(&compare, "GroupBox2")->title(), "gone.txt");
    for (const char* empty : {"lblSizeBytes2", "lblModify2", "lblCRC2", "lblCRC1"})
        EXPECT_TRUE(text(&compare, QLatin1String(empty)).isEmpty()) << empty;
    EXPECT_EQ(arrow(&compare, "imModify"), dups::Arrow::None);
    EXPECT_FALSE(child<QPushButton>(&compare, "btLaunch2")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(&compare, "btLaunch1")->isEnabled());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(CompareWindow, ProtectionRunBrowseAndTheSourceGoing) {
    file("a/tool.txt", "tool");
    const QString kept = file("keep/tool.txt", "tool");
    const QStringList nonDelete{world.path("c/keep")};
    protection.build(&nonDelete, {}, QString(), QString());
    scanAndCompare();
    EXPECT_EQ(text(&compare, "lblDel2"), "** In Non-Delete List **");
    EXPECT_EQ(child<QLabel>(&compare, "lblDel2")->palette().color(QPalette::Window),
              QColor(Qt::yellow));

    shellopen::setOpener([](const QUrl&) { return false; });
    click(&compare, "btLaunch2");
    ASSERT_EQ(boxes.texts(), QStringList{"Couldn't run " + kept});

    QString browsed;
    EXPECT_FALSE(child<QPushButton>(&compare, "btBrowse2")->isEnabled());
    compare.setBrowse([&](const QString& path) { browsed = path; });
    click(&compare, "btBrowse2");
    EXPECT_EQ(browsed, kept);

    // The duplicate window goes: the comparison hides and lets go of it.
    dup.reset();
    EXPECT_FALSE(compare.isVisible());
    EXPECT_EQ(compare.source(), nullptr);
    EXPECT_EQ(compare.parentWidget(), nullptr);
    click(&compare, "btMark1"); // nothing to mark in: no crash
}

TEST_F(CompareWindow, ChecksumsOfATwoGiBPairLeaveTheWindowAnsweringAndCancelAtOnce) {
    bigFile("a/disk.img");
    bigFile("b/disk.img");
    scanAndCompare();
    recordChecks();
    auto* compute = child<QPushButton>(&compare, "btCompute");
    click(&compare, "btCompute");
    ASSERT_TRUE(compare.checksumsRunning());
    EXPECT_EQ(compute->text(), "&Cancel");

    // The event loop goes on while the checksum runs: a timer of 10 ms fires again and again.
    int ticks = 0;
    {
        QEventLoop loop;
        QTimer ticker;
        ticker.setInterval(10);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            if (++ticks >= 10 && text(&compare, "lblCRC1").startsWith("Computing CRC... "))
                loop.quit();
        });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        ticker.start();
        loop.exec();
    }
    EXPECT_GE(ticks, 10);
    ASSERT_TRUE(compare.checksumsRunning()) << "2 GiB checksummed in " << ticks << " ticks";
    EXPECT_TRUE(checks.isEmpty());
    EXPECT_TRUE(text(&compare, "lblCRC1").startsWith("Computing CRC... "))
        << text(&compare, "lblCRC1").toStdString();
    EXPECT_TRUE(text(&compare, "lblCRC2").isEmpty());

    // Cancel: the check ends and the window is as before it started.
    QElapsedTimer timer;
    timer.start();
    click(&compare, "btCompute");
    ASSERT_TRUE(waitForChecksums(2000));
    const qint64 cancelled = timer.elapsed();
    RecordProperty("cancelMs", int(cancelled));
    ASSERT_EQ(checks.size(), 1);
    EXPECT_TRUE(checks[0].aborted);
    // The checksum loop itself saw the request and stopped inside the left file.
    EXPECT_EQ(checks[0].left.message(), TCRC32Calc::stoppedMessage());
    EXPECT_EQ(compute->text(), "&CRC");
    EXPECT_TRUE(text(&compare, "lblCRC1").isEmpty());
    EXPECT_TRUE(text(&compare, "lblCRC2").isEmpty());
    EXPECT_TRUE(compare.isVisible());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(CompareWindow, SteppingOnOrClosingStopsTheChecksums) {
    bigFile("a/disk.img");
    bigFile("b/disk.img");
    const QByteArray note = "a short note";
    file("a/note.txt", note);
    file("b/note.txt", note);
    scanAndCompare();
    recordChecks();
    // The big pair first, whichever way the grid has them.
    const bool bigFirst = compare.side(0).name == "disk.img";
    if (!bigFirst)
        click(&compare, "sbR1");
    ASSERT_EQ(compare.side(0).name, "disk.img");
    const char* toNote = bigFirst ? "sbR1" : "sbL1";
    const char* toDisk = bigFirst ? "sbL1" : "sbR1";

    // Checksums of every pair shown: stepping on stops the big pair's and checks the next one.
    child<QCheckBox>(&compare, "cbCRC")->setChecked(true);
    click(&compare, "btCompute");
    ASSERT_TRUE(compare.checksumsRunning());
    click(&compare, toNote);
    ASSERT_EQ(compare.side(0).name, "note.txt");
    ASSERT_TRUE(waitForChecksums(4000));
    ASSERT_EQ(checks.size(), 2);
    EXPECT_TRUE(checks[0].aborted);
    EXPECT_FALSE(checks[1].aborted);
    const QString identical =
        QString::asprintf("%8X", crcOf(note)) + " file contents are identical";
    EXPECT_EQ(text(&compare, "lblCRC1"), identical);
    EXPECT_EQ(text(&compare, "lblCRC2"), identical);

    // Back on the big pair its checksums start by themselves; Close stops them.
    click(&compare, toDisk);
    ASSERT_TRUE(compare.checksumsRunning());
    click(&compare, "btClose");
    EXPECT_FALSE(compare.isVisible());
    ASSERT_TRUE(waitForChecksums(2000));
    ASSERT_EQ(checks.size(), 3);
    EXPECT_TRUE(checks[2].aborted);
    EXPECT_TRUE(text(&compare, "lblCRC1").isEmpty());
    EXPECT_EQ(child<QPushButton>(&compare, "btCompute")->text(), "&CRC");
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(CompareWindow, AFileThatCannotBeReadIsReportedWhenTheCheckEnds) {
    file("a/note.txt", "note");
    const QString right = file("b/note.txt", "note");
    scanAndCompare();
    // The file is replaced by a folder of its name: it is there, but cannot be opened.
    ASSERT_TRUE(QFile::remove(right));
    world.makeDir("c/b/note.txt");
    click(dup.get(), "btCompare");
    ASSERT_TRUE(compare.side(1).found);
    click(&compare, "btCompute");
    EXPECT_TRUE(boxes.shown.isEmpty()); // not before the check has ended
    ASSERT_TRUE(waitForChecksums());
    EXPECT_EQ(boxes.texts(), QStringList{"Could not open file " + right});
    EXPECT_TRUE(text(&compare, "lblCRC1").isEmpty());
    EXPECT_TRUE(text(&compare, "lblCRC2").isEmpty());
}
