#pragma once

#include "zip/zipwriter.h"

#include <QObject>
#include <QTimer>
#include <atomic>
#include <mutex>
#include <thread>

namespace zip {

// Writes one writer's pending batch (ZipWriter::flush) on a thread of its own, for a window that
// must go on answering while an archive is written.  start() returns at once; the percentage
// written and the results come back as signals on the object's thread, picked up by a timer
// there every few tens of milliseconds.  abort() gives the batch up through the writer's
// progress hook, so that it stores nothing and leaves no archive behind; finished() still
// follows, with the results' `aborted` set.  Between start() and finished() only the thread
// touches the writer.  Destroying the object aborts a write and waits for it.
class BackgroundFlush : public QObject {
    Q_OBJECT
public:
    explicit BackgroundFlush(QObject* parent = nullptr);
    ~BackgroundFlush() override;

    // False (and nothing started) while a write is under way.  The writer's progress hook is
    // the object's own for the time of the write, and empty afterwards.  The writer must outlive
    // the write (or the object).
    bool start(ZipWriter& writer);
    // Asks the write under way to stop; the request lasts until the next start().
    void abort() { m_abort = true; }
    // Between start() and finished().
    bool running() const { return m_writer != nullptr; }

    // While paused nothing is delivered; a write that ends meanwhile is reported on resume().
    void pause();
    void resume();

signals:
    void progress(int percent);
    void finished(const zip::ZipWriter::Results& results);

private:
    void collect();

    QTimer m_timer;
    std::thread m_thread;
    ZipWriter* m_writer = nullptr;
    bool m_paused = false;
    std::atomic<bool> m_abort{false};
    std::atomic<int> m_percent{-1};
    int m_shownPercent = -1;
    // What the thread hands over at its end, under the mutex.
    std::mutex m_mutex;
    ZipWriter::Results m_results;
    bool m_done = false;
};

} // namespace zip
