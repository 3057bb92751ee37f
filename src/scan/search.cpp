#include "scan/search.h"

#include <QStringList>

namespace scan {

Search::Search() {
    recordSkips();
}

Search::Search(const bool& abortFlag) : m_walker(abortFlag) {
    recordSkips();
}

Search::~Search() = default;

void Search::recordSkips() {
    m_walker.callbacks().folderSkipped = [this](const QString& path, const QString& reason) {
        ++m_skippedCount;
        if (m_skipped.size() < kMaxSkippedListed)
            m_skipped.append({path, reason});
    };
}

void Search::clearSkipped() {
    m_skippedCount = 0;
    m_skipped.clear();
}

QString skippedText(qint64 count) {
    if (count <= 0)
        return QString();
    return count == 1 ? QStringLiteral("1 folder could not be read")
                      : QStringLiteral("%1 folders could not be read").arg(count);
}

QString skippedListText(const QList<SkippedFolder>& folders, qint64 count) {
    QStringList lines;
    for (const SkippedFolder& folder : folders)
        lines << folder.path + QStringLiteral(": ") + folder.reason;
    if (count > folders.size())
        lines << QStringLiteral("... and %1 more").arg(count - folders.size());
    return lines.join(QLatin1Char('\n'));
}

QString skippedReport(const QList<SkippedFolder>& folders, qint64 count) {
    // A box of more lines would not fit the screen; the rest are counted.
    constexpr int kShown = 40;
    return skippedText(count) + QStringLiteral(":\n") +
           skippedListText(folders.mid(0, kShown), count);
}

} // namespace scan
