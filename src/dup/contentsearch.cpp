#include "dup/contentsearch.h"

#include <QPointer>

namespace dups {

ContentSearch::ContentSearch(QObject* parent) : QObject(parent) {}

ContentSearch::~ContentSearch() {
    m_abort = true;
    join();
}

void ContentSearch::join() {
    if (m_thread.joinable())
        m_thread.join();
}

bool ContentSearch::start(const QList<ContentFile>& files,
                          const QList<QList<qsizetype>>& candidates, int threads) {
    if (m_running)
        return false;
    join(); // the thread of the last run has delivered its outcome and is ending
    m_abort = false;
    m_running = true;
    m_thread = std::thread([this, files, candidates, threads] {
        ContentOptions options;
        options.threads = threads;
        options.abortFlag = &m_abort;
        options.progress = [this](const ContentProgress& done) {
            QMetaObject::invokeMethod(
                this, [this, done] { emit progress(done); }, Qt::QueuedConnection);
        };
        ContentGroups result = groupByContents(files, candidates, options);
        // Queued calls to an object that is destroyed meanwhile are dropped by Qt; the
        // destructor waits for this thread, so `this` is alive while they are posted.
        QMetaObject::invokeMethod(
            this,
            [this, result = std::move(result)] {
                m_running = false;
                emit finished(result);
            },
            Qt::QueuedConnection);
    });
    return true;
}

} // namespace dups
