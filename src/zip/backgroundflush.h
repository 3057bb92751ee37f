#pragma once

#include "app/backgroundwork.h"
#include "zip/zipwriter.h"

#include <QObject>

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

    // False (and nothing started) while a write is under way.  The writer's progress hook is
    // the object's own for the time of the write, and empty afterwards.  The writer must outlive
    // the write (or the object).
    bool start(ZipWriter& writer);
    // Asks the write under way to stop; the request lasts until the next start().
    void abort() { m_work.abort(); }
    // Between start() and finished().
    bool running() const { return m_work.running(); }

    // While paused nothing is delivered; a write that ends meanwhile is reported on resume().
    void pause() { m_work.pause(); }
    void resume() { m_work.resume(); }

signals:
    void progress(int percent);
    void finished(const zip::ZipWriter::Results& results);

private:
    using Work = BackgroundWork<int, ZipWriter::Results>;

    int m_shownPercent = -1;
    // Declared last, so that the thread is joined before anything else goes.
    Work m_work;
};

} // namespace zip
