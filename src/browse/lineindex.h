#pragma once

#include <QMutex>
#include <QObject>
#include <QString>
#include <QVector>
#include <atomic>
#include <thread>

namespace browse {

class ViewedFile;

// The line numbers of a viewed file, counted in a background thread so that the viewer opens
// at once.  The thread reads the file through a descriptor of its own, never through the
// mapping, and keeps one checkpoint (the offset of the line's start) every kCheckpointLines
// lines: a few hundred kilobytes for a file of a gigabyte.  The line number of any offset, and
// the offset of any line, are then found by reading at most kCheckpointLines lines.
class LineIndex : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kCheckpointLines = 1024;

    explicit LineIndex(QObject* parent = nullptr);
    ~LineIndex() override;

    // Starts counting the lines of the file (its first `size` bytes), stopping a count under
    // way.  A size of 0 is counted at once.
    void start(const QString& path, qint64 size);
    // Stops the thread; the count stays unfinished.
    void stop();
    // Waits until the count is finished.
    void waitForFinished();

    bool finished() const { return m_finished.load(); }
    // The number of lines; -1 until the count is finished.
    qint64 lineCount() const;

    // The number (from 0) of the line holding the offset; -1 while the count has not reached it.
    qint64 lineNumberOf(const ViewedFile& file, qint64 offset) const;
    // The start of line n (from 0); -1 for a line beyond the end or one not reached yet.
    qint64 lineStartOf(const ViewedFile& file, qint64 n) const;

signals:
    // The count is finished (delivered on the index's own thread).
    void countFinished();

private:
    struct Checkpoint {
        qint64 offset;
        qint64 lastNewline;
    };
    void count(QString path, qint64 size);
    Checkpoint checkpoint(qint64 index) const;
    qint64 checkpointCount() const;

    mutable QMutex m_mutex;
    QVector<Checkpoint> m_checkpoints; // line i * kCheckpointLines starts at [i]
    qint64 m_lines = 0;                // under m_mutex; final once m_finished
    std::atomic<qint64> m_counted{0};
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace browse
