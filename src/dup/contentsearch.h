#pragma once

#include "dup/contents.h"

#include <QObject>
#include <atomic>
#include <thread>

namespace dups {

// The content engine for a window: start() runs groupByContents() on a thread of its own and
// returns at once; progress and the outcome come back as signals on the object's thread (queued),
// so the window never waits.  abort() stops the run within 100 ms, and finished() still follows
// (with `aborted` set).  Destroying the object aborts a run and waits for it.
class ContentSearch : public QObject {
    Q_OBJECT
public:
    explicit ContentSearch(QObject* parent = nullptr);
    ~ContentSearch() override;

    // False (and nothing started) while a run is going on.
    bool start(const QList<ContentFile>& files, const QList<QList<qsizetype>>& candidates = {},
               int threads = 4);
    void abort() { m_abort = true; }
    bool running() const { return m_running; }

signals:
    void progress(const dups::ContentProgress& done);
    void finished(const dups::ContentGroups& result);

private:
    void join();

    std::thread m_thread;
    std::atomic<bool> m_abort{false};
    bool m_running = false;
};

} // namespace dups
