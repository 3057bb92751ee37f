#pragma once

#include "app/backgroundwork.h"
#include "dup/contents.h"

#include <QObject>

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

    // False (and nothing started) while a run is going on.
    bool start(const QList<ContentFile>& files, const QList<QList<qsizetype>>& candidates = {},
               int threads = 4);
    void abort() { m_work.abort(); }
    bool running() const { return m_work.running(); }

signals:
    // Also in the pickup that finds the end, just before finished().
    void progress(const dups::ContentProgress& done);
    void finished(const dups::ContentGroups& result);

private:
    BackgroundWork<ContentProgress, ContentGroups> m_work;
};

} // namespace dups
