#include "app/crc32.h"
#include "dup/crc32calc.h"
#include "dup/paircheck.h"
#include "support/sandbox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>
#include <optional>

using namespace dups;

namespace {

class PairCheckTest : public ::testing::Test {
protected:
    PairCheckTest() {
        QObject::connect(&check, &PairCheck::finished, [this](const PairCheckResult& result) {
            EXPECT_EQ(QThread::currentThread(), check.thread());
            got = result;
        });
        QObject::connect(&check, &PairCheck::progress,
                         [this](const PairCheckProgress& done) { progressed.append(done); });
    }

    // Runs the event loop until the check has finished (at most `cap` ms).
    bool waitForFinished(qint64 cap = 10000) {
        QElapsedTimer timer;
        timer.start();
        while (!got && timer.elapsed() < cap)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return got.has_value();
    }

    // A sparse file of the given size: nothing is written, every byte reads as zero.
    QString sparse(const QString& name, qint64 size) {
        const QString path = world.makeFile("c/" + name);
        EXPECT_TRUE(QFile::resize(path, size));
        return path;
    }

    SandboxWorld world;
    PairCheck check;
    std::optional<PairCheckResult> got;
    QList<PairCheckProgress> progressed;
};

quint32 crcOf(const QByteArray& bytes) {
    return crc32::checksum(0, bytes.constData(), bytes.size());
}

} // namespace

TEST_F(PairCheckTest, SameFilesHaveOneChecksumAndTheSameBytes) {
    const QByteArray text = "two copies of one text";
    ASSERT_TRUE(check.start(world.makeFile("c/a.txt", text), world.makeFile("c/b.txt", text)));
    EXPECT_TRUE(check.running());
    EXPECT_FALSE(check.start(world.path("c/a.txt"), world.path("c/b.txt")));
    ASSERT_TRUE(waitForFinished());
    EXPECT_FALSE(check.running());
    ASSERT_TRUE(got->left && got->right);
    EXPECT_EQ(got->left.value(), crcOf(text));
    EXPECT_EQ(got->right.value(), crcOf(text));
    EXPECT_TRUE(got->sameBytes);
    EXPECT_FALSE(got->aborted);
}

TEST_F(PairCheckTest, DifferentFilesDiffer) {
    // Large enough to be checksummed in blocks, different in the last byte only.
    QByteArray bytes(3 * TCRC32Calc::kBlock + 5, 'z');
    const QString a = world.makeFile("c/a.bin", bytes);
    bytes.back() = 'y';
    const QString b = world.makeFile("c/b.bin", bytes);
    ASSERT_TRUE(check.start(a, b));
    ASSERT_TRUE(waitForFinished());
    ASSERT_TRUE(got->left && got->right);
    EXPECT_NE(got->left.value(), got->right.value());
    EXPECT_EQ(got->right.value(), crcOf(bytes));
    EXPECT_FALSE(got->sameBytes);
    EXPECT_FALSE(got->aborted);

    // Empty files are the same, with the checksum of no bytes.
    got.reset();
    ASSERT_TRUE(check.start(world.makeFile("c/e1"), world.makeFile("c/e2")));
    ASSERT_TRUE(waitForFinished());
    ASSERT_TRUE(got->left && got->right);
    EXPECT_EQ(got->left.value(), 0u);
    EXPECT_TRUE(got->sameBytes);
}

TEST_F(PairCheckTest, AFileThatCannotBeReadEndsTheCheckWithItsMessage) {
    const QString present = world.makeFile("c/here.txt", "here");
    const QString missing = world.path("c/gone.txt");
    ASSERT_TRUE(check.start(missing, present));
    ASSERT_TRUE(waitForFinished());
    EXPECT_FALSE(got->left);
    EXPECT_EQ(got->left.message(), "Could not open file " + missing);
    // The right side is not looked at after the left one failed.
    EXPECT_FALSE(got->right);
    EXPECT_TRUE(got->right.message().isEmpty());
    EXPECT_FALSE(got->sameBytes);
    EXPECT_FALSE(got->aborted);

    got.reset();
    ASSERT_TRUE(check.start(present, missing));
    ASSERT_TRUE(waitForFinished());
    ASSERT_TRUE(got->left);
    EXPECT_EQ(got->left.value(), crcOf("here"));
    EXPECT_EQ(got->right.message(), "Could not open file " + missing);
    EXPECT_FALSE(got->sameBytes);
}

TEST_F(PairCheckTest, AbortStopsTheChecksumBetweenBlocks) {
    const qint64 size = qint64(2) * 1024 * 1024 * 1024;
    ASSERT_TRUE(check.start(sparse("big1.img", size), sparse("big2.img", size)));
    QElapsedTimer timer;
    timer.start();
    while (progressed.isEmpty() && !got && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_FALSE(progressed.isEmpty());
    EXPECT_EQ(progressed.first().stage, PairCheckProgress::LeftChecksum);
    EXPECT_EQ(progressed.first().total, size);
    EXPECT_LT(progressed.last().percent(), 100);
    ASSERT_TRUE(check.running());

    check.abort();
    ASSERT_TRUE(waitForFinished(2000));
    EXPECT_TRUE(got->aborted);
    EXPECT_FALSE(check.running());
    // The checksum loop itself saw the request: it stopped inside the left file.
    EXPECT_FALSE(got->left);
    EXPECT_EQ(got->left.message(), TCRC32Calc::stoppedMessage());
    EXPECT_FALSE(got->sameBytes);

    // The object can check again afterwards.
    got.reset();
    ASSERT_TRUE(check.start(world.makeFile("c/x", "x"), world.makeFile("c/y", "x")));
    ASSERT_TRUE(waitForFinished());
    EXPECT_TRUE(got->sameBytes);
}

TEST_F(PairCheckTest, DestroyedWhileRunningStopsAndWaits) {
    const qint64 size = qint64(2) * 1024 * 1024 * 1024;
    auto running = std::make_unique<PairCheck>();
    ASSERT_TRUE(running->start(sparse("big1.img", size), sparse("big2.img", size)));
    QElapsedTimer timer;
    timer.start();
    running.reset();
    EXPECT_LT(timer.elapsed(), 2000);
}

TEST(PairCheckProgressTest, PercentOfTheStageStaysBelowAHundredWhileItRuns) {
    EXPECT_EQ((PairCheckProgress{PairCheckProgress::Contents, 5, 0}).percent(), 0);
    EXPECT_EQ((PairCheckProgress{PairCheckProgress::Contents, 50, 200}).percent(), 25);
    // The content engine reads samples before the whole files: more than the total.
    EXPECT_EQ((PairCheckProgress{PairCheckProgress::Contents, 250, 200}).percent(), 99);
}
