#include "browse/folderlisting.h"

#include "app/filetime.h"
#include "app/format.h"
#include "platform/dirsearch.h"
#include "stats/filetypes.h"

#include <QHash>
#include <QLocale>
#include <algorithm>
#include <vector>

namespace browse {

QStringList gridHeaders() {
    return {QStringLiteral("Modified"), QStringLiteral("Time"),     QStringLiteral("Access"),
            QStringLiteral("Size"),     QStringLiteral("Filename"), QStringLiteral("Type")};
}

namespace {

struct SortColumn {
    SortItem item;
    int column;
    GridSort sort;
};
const SortColumn kSortColumns[] = {
    {SortItem::Name, bcFilename, SortGridByText}, {SortItem::Modified, bcModified, SortGridByDate},
    {SortItem::Access, bcAccess, SortGridByDate}, {SortItem::Size, bcSize, SortGridByNumber},
    {SortItem::Type, bcType, SortGridByText},
};

} // namespace

std::optional<SortItem> sortItemForColumn(int column) {
    for (const SortColumn& s : kSortColumns)
        if (s.column == column)
            return s.item;
    return std::nullopt;
}

void sortRows(TextGrid& grid, SortItem item, bool descending) {
    if (grid.rowCount() < 3)
        return;
    for (const SortColumn& s : kSortColumns)
        if (s.item == item)
            s.sort(grid, 1, grid.rowCount() - 1, s.column, descending);
}

Listing fillGrid(TextGrid& grid, const QString& folder, const QString& pattern) {
    Listing listing;
    grid.setColumnCount(kColumnCount);
    grid.clearRows();
    grid.setHeader(gridHeaders());

    std::vector<platform::DirEntry> entries;
    platform::DirSearch search;
    if (search.open(folder)) {
        // Read-only, hidden, system and archive: every entry but a folder.
        search.start(pattern, platform::faAnyFile & ~platform::faDirectory);
        platform::DirEntry entry;
        while (search.next(&entry))
            entries.push_back(entry);
    } else {
        listing.error = search.errorString();
    }
    std::sort(entries.begin(), entries.end(),
              [](const platform::DirEntry& a, const platform::DirEntry& b) {
                  const int c = compareIgnoringCase(a.name, b.name);
                  return c != 0 ? c < 0 : a.name < b.name;
              });

    if (entries.empty()) {
        grid.setRowCount(2);
        return listing;
    }
    grid.reserveRows(int(entries.size()) + 1);
    filetime::Packer packer;
    filetime::PackedTexts texts;
    const QChar sep = TextGrid::cellSeparator();
    for (const platform::DirEntry& e : entries) {
        const quint32 written = packer.pack(e.writeTime);
        const quint32 accessed = packer.pack(e.accessTime);
        QString row = texts.date(written) + sep + (written ? texts.time(written) : QString()) +
                      sep + texts.date(accessed) + sep + FormatThousands(e.size) + sep + e.name +
                      sep + fileTypeDescriptionOfName(e.name);
        grid.appendJoinedRow(std::move(row), false, platform::identityOf(e));
        listing.totalBytes += e.size;
    }
    listing.files = int(entries.size());
    return listing;
}

QString rowPath(const TextGrid& grid, const QString& folder, int row) {
    if (row < 1 || row >= grid.rowCount())
        return QString();
    const QString name = grid.cell(bcFilename, row);
    return name.isEmpty() ? QString() : JoinPath(folder, name);
}

} // namespace browse
