#include "delete/gridmarks.h"

#include "app/format.h"
#include "platform/dirsearch.h"

#include <algorithm>

bool GridMarks::toggle(TextGrid& grid, int row, const QString& path) {
    if (row < 1 || row >= grid.rowCount())
        return false;
    const bool mark = !grid.isMarked(row);
    grid.setMarked(row, mark);
    platform::DirEntry entry;
    if (platform::lookUpFile(path, &entry)) {
        m_count += mark ? 1 : -1;
        m_bytes += mark ? entry.size : -entry.size;
    }
    if (mark) {
        m_files.append({path, grid.identity(row)});
    } else {
        const auto found = std::find_if(m_files.begin(), m_files.end(),
                                        [&path](const ListedFile& f) { return f.path == path; });
        if (found != m_files.end())
            m_files.erase(found);
    }
    return mark;
}

void GridMarks::clear(TextGrid& grid) {
    grid.clearMarks();
    m_count = 0;
    m_bytes = 0;
    m_files.clear();
}

QStringList GridMarks::paths() const {
    QStringList paths;
    paths.reserve(m_files.size());
    for (const ListedFile& file : m_files)
        paths << file.path;
    return paths;
}

void GridMarks::markAll(TextGrid& grid, const std::function<QString(int row)>& pathOf) {
    clear(grid);
    m_files.reserve(grid.rowCount());
    for (int row = 1; row < grid.rowCount(); ++row)
        toggle(grid, row, pathOf(row));
}

QString GridMarks::statusText() const {
    return QStringLiteral("%1 files %2 bytes").arg(m_count).arg(FormatThousands(m_bytes));
}

QString clipboardText(const TextGrid& grid, const std::function<QString(int row)>& pathOf) {
    QStringList paths;
    paths.reserve(grid.rowCount());
    for (int row = 1; row < grid.rowCount(); ++row)
        paths << pathOf(row);
    return paths.join(QStringLiteral("\r\n"));
}
