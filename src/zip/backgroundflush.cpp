#include "zip/backgroundflush.h"

namespace zip {

BackgroundFlush::BackgroundFlush(QObject* parent) : QObject(parent) {
    m_timer.setInterval(25);
    connect(&m_timer, &QTimer::timeout, this, &BackgroundFlush::collect);
}

BackgroundFlush::~BackgroundFlush() {
    m_abort = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_writer)
        m_writer->setProgress({});
}

bool BackgroundFlush::start(ZipWriter& writer) {
    if (running())
        return false;
    m_writer = &writer;
    m_abort = false;
    m_percent = -1;
    m_shownPercent = -1;
    m_done = false;
    // Called on the thread, from inside the write: hand the percentage over and answer with the
    // abort request.
    writer.setProgress([this](int percent) {
        m_percent = percent;
        return m_abort.load();
    });
    m_thread = std::thread([this] {
        ZipWriter::Results results = m_writer->flush();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_results = std::move(results);
        m_done = true;
    });
    if (!m_paused)
        m_timer.start();
    return true;
}

void BackgroundFlush::pause() {
    m_paused = true;
    m_timer.stop();
}

void BackgroundFlush::resume() {
    m_paused = false;
    if (running())
        m_timer.start();
}

void BackgroundFlush::collect() {
    bool ended;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ended = m_done;
    }
    // Read after the end was seen, so that the last percentage is among what is shown.
    const int percent = m_percent;
    if (percent >= 0 && percent != m_shownPercent) {
        m_shownPercent = percent;
        emit progress(percent);
    }
    if (!ended)
        return;
    m_timer.stop();
    m_thread.join();
    ZipWriter::Results results = std::move(m_results);
    m_results = ZipWriter::Results();
    m_writer->setProgress({});
    m_writer = nullptr;
    emit finished(results);
}

} // namespace zip
