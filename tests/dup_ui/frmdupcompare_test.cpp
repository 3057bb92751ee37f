#include "app/crc32.h"
#include "app/protection.h"
#include "app/ui/resultgrid.h"
#include "app/ui/shellopen.h"
#include "dup/ui/frmdup.h"
#include "dup/ui/frmdupcompare.h"
#include "dup/ui/pairarrow.h"
#include "platform/filesync.h"
#include "support/modalwindows.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QTemporaryDir>
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

    SandboxWorld world;
    ScriptedBoxes boxes;
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
    EXPECT_TRUE(text(&compare, "lblCRC1").endsWith(" file contents are identical"));
    EXPECT_EQ(text(&compare, "lblCRC1"), text(&compare, "lblCRC2"));
    QFile f(compare.side(1).path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("the sane text");
    f.close();
    child<QCheckBox>(&compare, "cbCRC")->setChecked(true);
    click(dup.get(), "btCompare");
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
