#include "dup/contentsearch.h"

namespace dups {

ContentSearch::ContentSearch(QObject* parent)
    : QObject(parent), m_work([this](const ContentProgress& done) { emit progress(done); },
                              [this](ContentGroups result) { emit finished(result); }) {}

bool ContentSearch::start(const QList<ContentFile>& files,
                          const QList<QList<qsizetype>>& candidates, int threads) {
    using Work = BackgroundWork<ContentProgress, ContentGroups>;
    return m_work.start([files, candidates, threads](Work::Worker& worker) {
        ContentOptions options;
        options.threads = threads;
        options.abortFlag = worker.abortFlag();
        options.progress = [&worker](const ContentProgress& done) { worker.post(done); };
        return groupByContents(files, candidates, options);
    });
}

} // namespace dups
