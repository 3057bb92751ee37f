#include "delete/lastcopy.h"

namespace lastcopy {

QString reasonText() {
    return QStringLiteral("no kept copy has the same contents");
}

Guard::Guard(const CopyGroups& groups) : m_proven(groups.proven) {
    for (const ListedFiles& group : groups.groups) {
        QList<qsizetype> members;
        for (const ListedFile& file : group) {
            // A path listed twice is one file: its first mention counts.
            if (m_index.contains(file.path))
                continue;
            m_index.insert(file.path, m_files.size());
            members.append(m_files.size());
            m_files.append(file);
        }
        if (!members.isEmpty())
            m_groups.append(members);
    }
    m_setOf = QList<int>(m_files.size(), -1);
}

qint64 Guard::listedBytes() const {
    qint64 bytes = 0;
    for (const ListedFile& file : m_files)
        if (file.identity.known())
            bytes += file.identity.size;
    return bytes;
}

bool Guard::prove(const dups::ContentOptions& options) {
    m_sets.clear();
    m_setOf.fill(-1);
    if (m_proven) {
        m_sets = m_groups;
    } else {
        QList<dups::ContentFile> files;
        files.reserve(m_files.size());
        for (const ListedFile& file : std::as_const(m_files))
            files.append({file.path, file.identity});
        const dups::ContentGroups result = dups::groupByContents(files, m_groups, options);
        if (result.aborted)
            return false;
        m_sets = result.groups;
    }
    for (qsizetype set = 0; set < m_sets.size(); ++set) {
        if (m_sets[set].size() < 2)
            continue; // a copy of nothing
        for (qsizetype file : std::as_const(m_sets[set]))
            m_setOf[file] = int(set);
    }
    return true;
}

QStringList Guard::holdBack(const QStringList& going, const QSet<QString>& chosen) {
    m_keepers.clear();
    m_chosen = chosen;
    if (!active())
        return {};
    QList<bool> goes(m_files.size(), false);
    for (const QString& path : going) {
        const auto it = m_index.constFind(path);
        if (it != m_index.constEnd())
            goes[*it] = true;
    }
    QList<bool> held(m_files.size(), false);
    for (qsizetype file = 0; file < m_files.size(); ++file)
        if (goes[file] && m_setOf[file] < 0 && !chosen.contains(m_files[file].path))
            held[file] = true; // no copy of it anywhere
    for (const QList<qsizetype>& set : std::as_const(m_sets)) {
        if (set.size() < 2)
            continue;
        QList<qsizetype> staying;
        QList<qsizetype> unchosen; // going, and not chosen explicitly
        for (qsizetype file : set) {
            if (!goes[file])
                staying.append(file);
            else if (!chosen.contains(m_files[file].path))
                unchosen.append(file);
        }
        if (unchosen.isEmpty())
            continue;
        if (staying.isEmpty()) {
            // Every copy would go: the first of them stays.
            held[unchosen.first()] = true;
            staying.append(unchosen.takeFirst());
        }
        for (qsizetype file : std::as_const(unchosen))
            m_keepers.insert(m_files[file].path, staying);
    }
    QStringList kept;
    for (const QString& path : going) {
        const auto it = m_index.constFind(path);
        if (it != m_index.constEnd() && held[*it]) {
            kept.append(path);
            held[*it] = false; // a path given twice is named once
        }
    }
    return kept;
}

QString Guard::check(const ListedFile& file) const {
    if (!m_index.contains(file.path) || m_chosen.contains(file.path))
        return QString();
    const auto keepers = m_keepers.constFind(file.path);
    if (keepers != m_keepers.constEnd()) {
        for (qsizetype keeper : *keepers) {
            const ListedFile& copy = m_files[keeper];
            if (dups::sameContents({file.path, file.identity}, {copy.path, copy.identity}))
                return QString();
        }
    }
    return reasonText();
}

} // namespace lastcopy

lastcopy::CopyGroups copyGroupsOf(const TextGrid& grid,
                                  const std::function<QString(int row)>& pathOf, bool proven) {
    lastcopy::CopyGroups copies;
    copies.proven = proven;
    int start = 1;
    while (start < grid.rowCount()) {
        int end = start + 1; // one past the group's last row
        while (grid.sameGroupAsNext(end - 1))
            ++end;
        bool marked = false;
        for (int row = start; row < end && !marked; ++row)
            marked = grid.isMarked(row);
        if (marked && grid.group(start) != 0) {
            ListedFiles group;
            for (int row = start; row < end; ++row)
                group.append({pathOf(row), grid.identity(row)});
            copies.groups.append(group);
        }
        start = end;
    }
    return copies;
}
