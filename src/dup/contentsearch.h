#pragma once

#include "dup/contents.h"

#include <QObject>
#include <QTimer>
#include <atomic>
#include <mutex>
#include <thread>

namespace dups {

// The content engine for a window: start() runs groupByContents() on a thread of its own and
// returns at once; progress and the outcome come back as signals on the object's thread, picked
// up by a timer there every few tens of milliseconds, so the window never waits.  abort() stops
// the run within 100 ms, and finished() still follows (with `aborted` set).  Destroying the
// object aborts a run and waits for it.
class ContentSearch : public QObject {
    Q_OBJECT
public:
    explicit ContentSearch(QObject* parent = nullptr);
    ~ContentSearch() override;

    // False (and nothing started) while a run is going on.
    bool start(const QList<ContentFile>& files, const QList<QList<qsizetype>>& candidates = {},
               int threads = 4);
    void abort() { m_abort = true; }
    bool running() const { return m_timer.isActive(); }

signals:
    void progress(const dups::ContentProgress& done);
    void finished(const dups::ContentGroups& result);

private:
    void collect();

    QTimer m_timer;
    std::thread m_thread;
    std::atomic<bool> m_abort{false};
    // What the run's thread hands over, under the mutex.
    std::mutex m_mutex;
    ContentProgress m_progress;
    ContentGroups m_result;
    bool m_done = false;
    bool m_progressed = false;
};

} // namespace dups
