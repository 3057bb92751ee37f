#include "archivekit.h"
#include "support/sandbox.h"
#include "zip/backgroundflush.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTimer>
#include <gtest/gtest.h>

using zip::BackgroundFlush;
using zip::ZipWriter;

namespace {

// Contents that deflate cannot shrink, so that writing them takes its time.
QByteArray noise(qsizetype size, quint32 seed) {
    QByteArray out(size, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32*>(out.data()), size / 4);
    return out;
}

class BackgroundFlushTest : public ::testing::Test {
protected:
    void SetUp() override {
        world.setDrives({"C"});
        zipFolder = world.makeDir("zips");
        ASSERT_TRUE(writer.open(zipFolder + "/Drive-C-Test.zip"));
    }

    // Adds `count` files of `size` bytes to the writer's batch.
    QStringList addFiles(int count, qsizetype size) {
        QStringList paths;
        for (int i = 0; i < count; ++i) {
            paths << world.makeFile(QString("c/big%1.bin").arg(i), noise(size, 40 + i));
            EXPECT_TRUE(writer.addFile(paths.back()).ok());
        }
        return paths;
    }

    // Runs the event loop until the flush reports its end (at most 60 seconds), counting the
    // turns of a 5 ms timer meanwhile.
    ZipWriter::Results waitForEnd(int* ticks = nullptr) {
        ZipWriter::Results results;
        QEventLoop loop;
        QTimer tick;
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [ticks]() {
            if (ticks)
                ++*ticks;
        });
        QObject::connect(&flush, &BackgroundFlush::finished, &loop,
                         [&](const ZipWriter::Results& r) {
                             results = r;
                             loop.quit();
                         });
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        tick.start();
        loop.exec();
        return results;
    }

    QStringList folderContents() const {
        return QDir(zipFolder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    SandboxWorld world;
    QString zipFolder;
    ZipWriter writer;
    BackgroundFlush flush;
};

} // namespace

TEST_F(BackgroundFlushTest, TheBatchIsWrittenWhileTheLoopGoesOn) {
    const QStringList files = addFiles(4, 8 * 1024 * 1024);
    QList<int> shown;
    QObject::connect(&flush, &BackgroundFlush::progress, [&shown](int p) { shown << p; });
    ASSERT_TRUE(flush.start(writer));
    EXPECT_TRUE(flush.running());
    EXPECT_FALSE(flush.start(writer)); // one write at a time
    int ticks = 0;
    const ZipWriter::Results results = waitForEnd(&ticks);

    EXPECT_FALSE(flush.running());
    EXPECT_FALSE(results.aborted);
    EXPECT_EQ(results.storedPaths(), files);
    EXPECT_GT(ticks, 3) << "the event loop did not run during the write";
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    EXPECT_GE(shown.back(), 90); // the engine's last step may fall short of 100
    const auto stored = archivekit::contents(zipFolder + "/Drive-C-Test.zip");
    EXPECT_EQ(stored.size(), 4);
    EXPECT_EQ(stored.value("big3.bin"), noise(8 * 1024 * 1024, 43));
    // The originals are the caller's to delete.
    for (const QString& f : files)
        EXPECT_TRUE(QFileInfo::exists(f));
}

TEST_F(BackgroundFlushTest, AnAbortGivesTheBatchUpAndLeavesNothingBehind) {
    const QStringList files = addFiles(6, 8 * 1024 * 1024);
    bool aborted = false;
    QElapsedTimer sinceAbort;
    // Abort once the write is seen under way.
    QObject::connect(&flush, &BackgroundFlush::progress, [&](int) {
        if (aborted)
            return;
        aborted = true;
        sinceAbort.start();
        flush.abort();
    });
    ASSERT_TRUE(flush.start(writer));
    const ZipWriter::Results results = waitForEnd();

    ASSERT_TRUE(aborted);
    EXPECT_LT(sinceAbort.elapsed(), 2000);
    EXPECT_TRUE(results.aborted);
    EXPECT_TRUE(results.stored.isEmpty());
    EXPECT_EQ(results.failed, files);
    EXPECT_EQ(folderContents(), QStringList()); // no archive, no claim, no temporary file
    for (const QString& f : files)
        EXPECT_TRUE(QFileInfo::exists(f));

    // The writer goes on: the next batch is written as usual.
    ASSERT_TRUE(writer.addFile(files[0]).ok());
    ASSERT_TRUE(flush.start(writer));
    EXPECT_EQ(waitForEnd().storedPaths(), QStringList({files[0]}));
}

TEST_F(BackgroundFlushTest, WhilePausedTheEndIsHeldBack) {
    const QString file = world.makeFile("c/small.txt", "small");
    ASSERT_TRUE(writer.addFile(file).ok());
    flush.pause();
    bool ended = false;
    QObject::connect(&flush, &BackgroundFlush::finished, [&ended]() { ended = true; });
    ASSERT_TRUE(flush.start(writer));
    // Long enough for a batch of one small file to be written many times over.
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_FALSE(ended);
    EXPECT_TRUE(flush.running());

    flush.resume();
    EXPECT_EQ(waitForEnd().storedPaths(), QStringList({file}));
}

TEST_F(BackgroundFlushTest, DestroyingTheObjectStopsTheWrite) {
    const QStringList files = addFiles(6, 8 * 1024 * 1024);
    QElapsedTimer clock;
    {
        BackgroundFlush brief;
        ASSERT_TRUE(brief.start(writer));
        QEventLoop loop;
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
        clock.start();
    }
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(folderContents(), QStringList());
    for (const QString& f : files)
        EXPECT_TRUE(QFileInfo::exists(f));
}
