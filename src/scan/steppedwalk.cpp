#include "scan/steppedwalk.h"

#include "scan/walk.h"

namespace scan {

namespace {

// About one frame: the window stays responsive while the walk takes most of the time.
constexpr int kStepMilliseconds = 16;

} // namespace

SteppedWalk::SteppedWalk(Walker& walker, QObject* parent) : QObject(parent), m_walker(walker) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &SteppedWalk::runStep);
}

// A walk left unfinished stays with its walker, whose destruction (or next start) stops its
// workers without further callbacks.
SteppedWalk::~SteppedWalk() = default;

void SteppedWalk::startDrives(const QList<QChar>& letters) {
    m_walker.startDrives(letters);
    begin();
}

bool SteppedWalk::startTree(const QString& root) {
    if (!m_walker.startTree(root))
        return false;
    begin();
    return true;
}

void SteppedWalk::begin() {
    m_running = true;
    m_paused = false;
    m_timer.start();
}

void SteppedWalk::pause() {
    m_paused = true;
    m_timer.stop();
}

void SteppedWalk::resume() {
    m_paused = false;
    if (m_running)
        m_timer.start();
}

void SteppedWalk::runStep() {
    if (!m_running || m_paused)
        return;
    if (m_walker.step(kStepMilliseconds)) {
        if (!m_paused)
            m_timer.start();
        return;
    }
    m_running = false;
    // Told from the next trip of the event loop, when nothing of this step is on the stack.
    QMetaObject::invokeMethod(this, &SteppedWalk::finished, Qt::QueuedConnection);
}

} // namespace scan
