#pragma once

#include <QChar>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

namespace scan {

class Walker;

// Runs a walker's walk in steps from the event loop of the thread it lives in, so that a window
// never pumps events: each trip of the event loop delivers about one frame's worth of entries
// (step() with a 16 ms budget), and between trips the window repaints and takes its input.
//
// The next step is only scheduled when the previous one has returned, so a callback that shows
// a modal box never runs into a step of its own walk.  pause() holds the walk between steps
// (while the window shows the abort notice, for example) and resume() goes on.  finished() is
// emitted once, when the walk is over or was aborted, always from a later trip of the event
// loop than the step that ended it, so its receiver may destroy the runner and the walker.
class SteppedWalk : public QObject {
    Q_OBJECT
public:
    explicit SteppedWalk(Walker& walker, QObject* parent = nullptr);
    ~SteppedWalk() override;

    // Starts a walk of the drives' roots, or of one folder tree (false, with nothing else
    // happening, when the root cannot be opened).
    void startDrives(const QList<QChar>& letters);
    bool startTree(const QString& root);

    void pause();
    void resume();

    // True from the start until finished() is emitted.
    bool running() const { return m_running; }

signals:
    void finished();

private:
    void begin();
    void runStep();

    Walker& m_walker;
    QTimer m_timer;
    bool m_running = false;
    bool m_paused = false;
};

} // namespace scan
