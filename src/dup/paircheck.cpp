#include "dup/paircheck.h"

#include "dup/contents.h"
#include "dup/pairs.h"

#include <QFileInfo>
#include <algorithm>

namespace dups {

int PairCheckProgress::percent() const {
    if (total <= 0)
        return 0;
    return int(std::clamp<qint64>(done * 100 / total, 0, 99));
}

// A check's progress is not shown in the pickup that finds its end: the end says it all.
PairCheck::PairCheck(QObject* parent)
    : QObject(parent), m_work([this](const PairCheckProgress& done) { emit progress(done); },
                              [this](PairCheckResult result) { emit finished(result); },
                              Work::LastProgress::Dropped) {}

bool PairCheck::start(const QString& left, const QString& right) {
    return m_work.start([left, right](Work::Worker& worker) { return run(left, right, worker); });
}

PairCheckResult PairCheck::run(const QString& left, const QString& right, Work::Worker& worker) {
    PairCheckResult result;
    const auto report = [&worker](PairCheckProgress::Stage stage, qint64 done, qint64 total) {
        worker.post({stage, done, total});
    };
    const auto checksum = [&](const QString& path, PairCheckProgress::Stage stage) {
        report(stage, 0, QFileInfo(path).size());
        return fileChecksum(path, [&, stage](qint64 done, qint64 size) {
            report(stage, done, size);
            return !worker.aborted();
        });
    };
    result.left = checksum(left, PairCheckProgress::LeftChecksum);
    if (result.left && !worker.aborted()) {
        result.right = checksum(right, PairCheckProgress::RightChecksum);
        // The verdict is the content engine's, the one that split the groups.
        if (result.right && !worker.aborted() && result.left.value() == result.right.value()) {
            const qint64 total = QFileInfo(left).size() + QFileInfo(right).size();
            report(PairCheckProgress::Contents, 0, total);
            ContentOptions options;
            options.threads = 2;
            options.abortFlag = worker.abortFlag();
            options.progress = [&report, total](const ContentProgress& done) {
                report(PairCheckProgress::Contents, done.bytesDone, total);
            };
            const ContentGroups same = groupByContents({{left, {}}, {right, {}}}, {}, options);
            result.sameBytes = !same.aborted && same.problems.isEmpty() && same.groups.size() == 1;
        }
    }
    // Asked to stop before the end: whatever was computed no longer counts.
    result.aborted = worker.aborted();
    return result;
}

} // namespace dups
