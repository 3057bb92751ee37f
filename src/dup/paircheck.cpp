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

PairCheck::PairCheck(QObject* parent) : QObject(parent) {
    m_timer.setInterval(25);
    connect(&m_timer, &QTimer::timeout, this, &PairCheck::collect);
}

PairCheck::~PairCheck() {
    m_abort = true;
    if (m_thread.joinable())
        m_thread.join();
}

bool PairCheck::start(const QString& left, const QString& right) {
    if (running())
        return false;
    m_abort = false;
    m_done = false;
    m_progressed = false;
    m_thread = std::thread([this, left, right] {
        PairCheckResult result = run(left, right);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_result = std::move(result);
        m_done = true;
    });
    m_timer.start();
    return true;
}

void PairCheck::report(PairCheckProgress::Stage stage, qint64 done, qint64 total) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_progress = {stage, done, total};
    m_progressed = true;
}

PairCheckResult PairCheck::run(const QString& left, const QString& right) {
    PairCheckResult result;
    const auto checksum = [this](const QString& path, PairCheckProgress::Stage stage) {
        report(stage, 0, QFileInfo(path).size());
        return fileChecksum(path, [this, stage](qint64 done, qint64 size) {
            report(stage, done, size);
            return !m_abort;
        });
    };
    result.left = checksum(left, PairCheckProgress::LeftChecksum);
    if (result.left && !m_abort) {
        result.right = checksum(right, PairCheckProgress::RightChecksum);
        // The verdict is the content engine's, the one that split the groups.
        if (result.right && !m_abort && result.left.value() == result.right.value()) {
            const qint64 total = QFileInfo(left).size() + QFileInfo(right).size();
            report(PairCheckProgress::Contents, 0, total);
            ContentOptions options;
            options.threads = 2;
            options.abortFlag = &m_abort;
            options.progress = [this, total](const ContentProgress& done) {
                report(PairCheckProgress::Contents, done.bytesDone, total);
            };
            const ContentGroups same = groupByContents({{left, {}}, {right, {}}}, {}, options);
            result.sameBytes = !same.aborted && same.problems.isEmpty() && same.groups.size() == 1;
        }
    }
    // Asked to stop before the end: whatever was computed no longer counts.
    result.aborted = m_abort;
    return result;
}

void PairCheck::collect() {
    PairCheckProgress done;
    bool progressed, finishedNow;
    PairCheckResult result;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        done = m_progress;
        progressed = m_progressed;
        m_progressed = false;
        finishedNow = m_done;
        if (finishedNow)
            result = std::move(m_result);
    }
    if (progressed && !finishedNow)
        emit progress(done);
    if (!finishedNow)
        return;
    m_timer.stop();
    m_thread.join();
    emit finished(result);
}

} // namespace dups
