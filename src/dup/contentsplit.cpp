#include "dup/contentsplit.h"

#include "dup/dupsearch.h"

#include <vector>

namespace dups {

ContentRequest contentRequest(const TextGrid& grid, Mode mode) {
    ContentRequest request;
    request.files.reserve(grid.rowCount() - 1);
    quint32 open = 0; // the group number of the candidate group being filled; 0: none
    for (int row = 1; row < grid.rowCount(); ++row) {
        request.files.push_back({rowPath(grid, row, mode), grid.identity(row)});
        const quint32 group = grid.group(row);
        if (group == 0) {
            open = 0;
            continue;
        }
        if (group != open) {
            request.candidates.push_back({});
            open = group;
        }
        request.candidates.back().push_back(row - 1);
    }
    return request;
}

QString problemText(const ContentProblem& problem) {
    switch (problem.reason) {
    case ContentProblem::Unreadable:
        return problem.message.isEmpty()
                   ? QStringLiteral("cannot be read")
                   : QStringLiteral("cannot be read: %1").arg(problem.message);
    case ContentProblem::ChangedWhileRead:
        return QStringLiteral("changed while being read");
    case ContentProblem::ChangedSinceListed:
        return QStringLiteral("changed since it was listed");
    }
    return QString();
}

QList<LeftOut> splitByContents(TextGrid& grid, Mode mode, const ContentGroups& result) {
    QList<LeftOut> leftOut;
    if (result.aborted)
        return leftOut;
    const int files = grid.rowCount() - 1;
    // The reason each file is left out; the files of a content group have none.
    std::vector<QString> reasons(size_t(files), QStringLiteral("no other file has its contents"));
    for (const ContentProblem& problem : result.problems)
        if (problem.file >= 0 && problem.file < files)
            reasons[size_t(problem.file)] = problemText(problem);
    std::vector<int> order; // the rows kept, as they will stand
    std::vector<quint32> groups;
    quint32 number = 0;
    for (const QList<qsizetype>& group : result.groups) {
        if (group.size() < 2)
            continue;
        ++number;
        for (qsizetype file : group) {
            if (file < 0 || file >= files || reasons[size_t(file)].isNull())
                continue; // not a file of this grid, or kept already
            reasons[size_t(file)] = QString();
            order.push_back(int(file) + 1);
            groups.push_back(number);
        }
    }
    for (int file = 0; file < files; ++file)
        if (!reasons[size_t(file)].isNull())
            leftOut.push_back({rowPath(grid, file + 1, mode), reasons[size_t(file)]});
    grid.permuteRows(1, order);
    grid.setRowCount(int(order.size()) + 1);
    for (size_t k = 0; k < groups.size(); ++k)
        grid.setGroup(int(k) + 1, groups[k]);
    return leftOut;
}

} // namespace dups
