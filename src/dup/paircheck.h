#pragma once

#include "app/backgroundwork.h"
#include "app/result.h"

#include <QObject>
#include <QString>

// The pair comparison's checksums, off the window's thread: the CRC-32 of both files, then,
// when they agree, the content engine's proof that the bytes are the same (the verdict that
// split the groups).
namespace dups {

// How far a check is.  The checksums run one after the other; the comparison of the bytes
// comes last, and only when the checksums agree.
struct PairCheckProgress {
    enum Stage { LeftChecksum, RightChecksum, Contents };
    Stage stage = LeftChecksum;
    qint64 done = 0;  // bytes of the stage read so far
    qint64 total = 0; // bytes the stage reads; 0 while not known yet

    // Of the stage, 0 to 99 (100 only once the stage has ended).
    int percent() const;
};

struct PairCheckResult {
    // The CRC-32 of the left and the right file, or why it could not be computed.  A failure
    // on the left ends the check: the right then carries an empty failure.
    Result<quint32> left = Failure{};
    Result<quint32> right = Failure{};
    // Both checksums were computed, agree, and the bytes were proven the same.
    bool sameBytes = false;
    // Stopped by abort() before it ended; nothing else of the result counts then.
    bool aborted = false;
};

// start() runs the check on a thread of its own and returns at once; progress and the outcome
// come back as signals on the object's thread, picked up by a timer there every few tens of
// milliseconds, so the window never waits.  abort() stops the check within 100 ms, and
// finished() still follows (with `aborted` set).  Destroying the object aborts a check and
// waits for it.
class PairCheck : public QObject {
    Q_OBJECT
public:
    explicit PairCheck(QObject* parent = nullptr);

    // False (and nothing started) while a check is going on.
    bool start(const QString& left, const QString& right);
    bool running() const { return m_work.running(); }
    void abort() { m_work.abort(); }

signals:
    // Not in the pickup that finds the end: finished() alone tells of it.
    void progress(const dups::PairCheckProgress& done);
    void finished(const dups::PairCheckResult& result);

private:
    using Work = BackgroundWork<PairCheckProgress, PairCheckResult>;
    // The check itself, on the thread.
    static PairCheckResult run(const QString& left, const QString& right, Work::Worker& worker);

    Work m_work;
};

} // namespace dups
