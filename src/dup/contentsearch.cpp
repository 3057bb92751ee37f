#include "dup/contentsearch.h"

namespace dups {

ContentSearch::ContentSearch(QObject* parent) : QObject(parent) {
    m_timer.setInterval(25);
    connect(&m_timer, &QTimer::timeout, this, &ContentSearch::collect);
}

ContentSearch::~ContentSearch() {
    m_abort = true;
    if (m_thread.joinable())
        m_thread.join();
}

bool ContentSearch::start(const QList<ContentFile>& files,
                          const QList<QList<qsizetype>>& candidates, int threads) {
    if (running())
        return false;
    m_abort = false;
    m_done = false;
    m_progressed = false;
    m_thread = std::thread([this, files, candidates, threads] {
        ContentOptions options;
        options.threads = threads;
        options.abortFlag = &m_abort;
        options.progress = [this](const ContentProgress& done) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_progress = done;
            m_progressed = true;
        };
        ContentGroups result = groupByContents(files, candidates, options);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_result = std::move(result);
        m_done = true;
    });
    m_timer.start();
    return true;
}

void ContentSearch::collect() {
    ContentProgress done;
    bool progressed, finishedNow;
    ContentGroups result;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        done = m_progress;
        progressed = m_progressed;
        m_progressed = false;
        finishedNow = m_done;
        if (finishedNow)
            result = std::move(m_result);
    }
    if (progressed)
        emit progress(done);
    if (!finishedNow)
        return;
    m_timer.stop();
    m_thread.join();
    emit finished(result);
}

} // namespace dups
