#include "app/backgroundwork.h"

#include <QEventLoop>
#include <QStringList>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace {

using Work = BackgroundWork<int, QString>;

// Runs the event loop until `done` or five seconds have passed.
void waitFor(const bool& done) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done)
            loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
}

// Work that posts 42 and ends at once, while the pickup is paused; the first pickup after
// resume() then finds both the progress and the end.  Returns what the owner was told.
QStringList progressPostedJustBeforeTheEnd(Work::LastProgress last) {
    QStringList told;
    bool ended = false;
    Work work([&](const int& percent) { told << QString::number(percent); },
              [&](QString outcome) {
                  told << outcome;
                  ended = true;
              },
              last);
    std::atomic<bool> returned{false};
    work.pause();
    EXPECT_TRUE(work.start([&](Work::Worker& worker) {
        worker.post(42);
        returned = true;
        return QString("end");
    }));
    while (!returned)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    // Time for the thread to leave its outcome too; nothing is picked up while paused.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    work.resume();
    waitFor(ended);
    EXPECT_FALSE(work.running());
    return told;
}

} // namespace

TEST(BackgroundWork, TheLastProgressComesWithTheEndOrIsDroppedAsTheOwnerAsks) {
    EXPECT_EQ(progressPostedJustBeforeTheEnd(Work::LastProgress::Delivered),
              QStringList({"42", "end"}));
    EXPECT_EQ(progressPostedJustBeforeTheEnd(Work::LastProgress::Dropped), QStringList({"end"}));
}

TEST(BackgroundWork, TheFinishedCallbackMayStartTheNextWork) {
    QStringList outcomes;
    bool ended = false;
    std::unique_ptr<Work> work;
    const auto saying = [](const QString& text) { return [text](Work::Worker&) { return text; }; };
    work = std::make_unique<Work>([](const int&) {},
                                  [&](QString outcome) {
                                      outcomes << outcome;
                                      if (outcomes.size() == 1)
                                          EXPECT_TRUE(work->start(saying("second")));
                                      else
                                          ended = true;
                                  });
    ASSERT_TRUE(work->start(saying("first")));
    EXPECT_FALSE(work->start(saying("refused")));
    waitFor(ended);
    EXPECT_EQ(outcomes, QStringList({"first", "second"}));
}
