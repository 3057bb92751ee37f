#include "app/gridmarks.h"

#include "app/format.h"
#include "platform/dirsearch.h"

#include <algorithm>

bool GridMarks::toggle(TextGrid& grid, int row, const QString& path) {
    if (row < 1 || row >= grid.rowCount())
        return false;
    const bool mark = !grid.isMarked(row);
    grid.setMarked(row, mark);
    platform::DirEntry entry;
    if (platform::lookUpFile(path, &entry))
        count(entry.device, entry.inode, entry.size, entry.links, mark ? 1 : -1);
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

void GridMarks::count(quint64 device, quint64 inode, qint64 size, quint32 names, int sign) {
    m_count += sign;
    if (names <= 1 || inode == 0) {
        m_bytes += sign * size;
        return;
    }
    SharedFile& file = m_shared[{device, inode}];
    const bool wasFreed = file.names > 0 && file.marked >= file.names;
    file.marked = sign > 0 ? file.marked + 1 : (file.marked > 0 ? file.marked - 1 : 0);
    if (sign > 0) {
        file.size = size;
        file.names = names;
    }
    const bool freed = file.marked >= file.names;
    if (freed != wasFreed)
        m_bytes += freed ? file.size : -file.size;
}

void GridMarks::clear(TextGrid& grid) {
    grid.clearMarks();
    m_count = 0;
    m_bytes = 0;
    m_files.clear();
    m_shared.clear();
}

QStringList GridMarks::paths() const {
    return pathsOf(m_files);
}

void GridMarks::markAll(TextGrid& grid, const std::function<QString(int row)>& pathOf, int rows) {
    clear(grid);
    const int last = rows < 0 ? grid.rowCount() - 1 : std::min(rows, grid.rowCount() - 1);
    m_files.reserve(last);
    for (int row = 1; row <= last; ++row)
        toggle(grid, row, pathOf(row));
}

void GridMarks::markCopies(TextGrid& grid, const std::function<QString(int row)>& pathOf,
                           const std::function<bool(int row, int kept)>& better) {
    clear(grid);
    for (int first = 1; first < grid.rowCount();) {
        int end = first + 1;
        while (grid.group(first) != 0 && end < grid.rowCount() &&
               grid.group(end) == grid.group(first))
            ++end;
        int kept = first;
        for (int row = first + 1; better && row < end; ++row)
            if (better(row, kept))
                kept = row;
        for (int row = first; row < end; ++row)
            if (row != kept)
                toggle(grid, row, pathOf(row));
        first = end;
    }
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
