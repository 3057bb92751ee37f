#include "search/filedates.h"

#include "app/format.h"
#include "stats/filetypes.h"

#include <QLocale>

namespace dates {

QStringList gridHeaders() {
    return {QStringLiteral("Filename"), QStringLiteral("Accessed"), QStringLiteral("Created"),
            QStringLiteral("Modified"), QStringLiteral("Size"),     QStringLiteral("Folder"),
            QStringLiteral("Type")};
}

bool DateTest::passes(const QDate& fileDate) const {
    if (!fileDate.isValid())
        return when == When::OnOrBefore;
    switch (when) {
    case When::OnOrBefore:
        return fileDate <= start;
    case When::Between:
        return start <= fileDate && fileDate <= end;
    case When::OnOrAfter:
        return fileDate >= start;
    }
    return false;
}

Search::Search(const SearchSettings& settings, TextGrid& grid)
    : m_settings(settings), m_grid(grid) {
    m_grid.setColumnCount(kColumnCount);
    m_grid.clearRows();
    m_grid.setHeader(gridHeaders());
    m_walker.setPattern(settings.pattern);
    m_walker.callbacks().file = [this](const scan::WalkFolder& folder,
                                       const platform::DirEntry& entry) { collect(folder, entry); };
}

void Search::collect(const scan::WalkFolder& folder, const platform::DirEntry& entry) {
    const quint32 packed[3] = {m_packer.pack(entry.accessTime), m_packer.pack(entry.creationTime),
                               m_packer.pack(entry.writeTime)};
    if (!m_settings.test.passes(filetime::dosDate(packed[int(m_settings.kind)])))
        return;
    const QString type = fileTypeDescriptionOfName(entry.name);
    const QChar sep = TextGrid::cellSeparator();
    QString row;
    row.reserve(entry.name.size() + folder.path.size() + type.size() + 48);
    row += entry.name;
    for (quint32 p : packed)
        row += sep + m_dateTexts.date(p);
    row += sep + FormatThousands(entry.size) + sep + folder.path + sep + type;
    m_grid.appendJoinedRow(std::move(row), false, platform::identityOf(entry));
    ++m_found;
}

QString rowPath(const TextGrid& grid, int row) {
    return JoinPath(grid.cell(mcFolder, row), grid.cell(mcFilename, row));
}

void sortGrid(TextGrid& grid, int column, SortDirections& directions) {
    // How each column's cells are read.
    static const GridSort kSorts[kColumnCount] = {SortGridByText, SortGridByDate,   SortGridByDate,
                                                  SortGridByDate, SortGridByNumber, SortGridByText,
                                                  SortGridByText};
    if (column < 0 || column >= kColumnCount || grid.rowCount() < 3)
        return;
    kSorts[column](grid, 1, grid.rowCount() - 1, column, directions.column[size_t(column)].take());
}

QString printTitle(Kind kind, When when, const QString& start, const QString& end) {
    static const char* const kinds[] = {"Last accessed", "Created", "Modified"};
    QString range;
    switch (when) {
    case When::OnOrBefore:
        range = QStringLiteral("before ") + start;
        break;
    case When::Between:
        range = QStringLiteral("between ") + start + QStringLiteral(" and ") + end;
        break;
    case When::OnOrAfter:
        range = QStringLiteral("after ") + start;
        break;
    }
    return QStringLiteral("Files ") + QLatin1String(kinds[int(kind)]) + QLatin1Char(' ') + range;
}

} // namespace dates
