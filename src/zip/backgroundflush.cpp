#include "zip/backgroundflush.h"

namespace zip {

BackgroundFlush::BackgroundFlush(QObject* parent)
    : QObject(parent), m_work(
                           [this](const int& percent) {
                               if (percent >= 0 && percent != m_shownPercent) {
                                   m_shownPercent = percent;
                                   emit progress(percent);
                               }
                           },
                           [this](ZipWriter::Results results) { emit finished(results); }) {}

bool BackgroundFlush::start(ZipWriter& writer) {
    if (running())
        return false;
    m_shownPercent = -1;
    return m_work.start([&writer](Work::Worker& worker) {
        // Called from inside the write: hand the percentage over and answer with the abort
        // request.  The last percentage posted is picked up with the end, so it is shown.
        writer.setProgress([&worker](int percent) {
            worker.post(percent);
            return worker.aborted();
        });
        ZipWriter::Results results = writer.flush();
        writer.setProgress({});
        return results;
    });
}

} // namespace zip
