#include "clean/quickclean.h"

#include "app/format.h"
#include "platform/dirsearch.h"

namespace quickclean {

quint32 fileMask() {
    return platform::faReadOnly | platform::faHidden | platform::faVolumeId | platform::faArchive;
}

Search::Search(const QStringList& selectedItems) : m_found(kGridMode, dups::FilenameOnly) {
    // The extension test is the walk's pattern: a file of another extension is passed over
    // before it is even looked at.
    m_walker.setPattern(tempfiles::extensionPattern(selectedItems));
    m_walker.setFileMask(fileMask());
    m_walker.callbacks().file = [this](const scan::WalkFolder& folder,
                                       const platform::DirEntry& entry) {
        // The list takes files until memory runs out; then the walk ends with what it has.
        if (!m_found.add(folder.path, entry))
            abort();
    };
}

int Search::fillGrid(TextGrid& grid, dups::SortDirections& directions) {
    grid.setColumnCount(dups::columnCount(kGridMode));
    grid.clearRows();
    grid.setHeader(dups::gridHeaders(kGridMode));
    const int rows = m_found.moveToGrid(grid);
    directions.size = SortDirection(false);
    return rows;
}

QString foundText(qint64 files) {
    return FormatThousands(files) + QStringLiteral(" tempfiles found");
}

QString printTitle(const QStringList& checkedEntries) {
    QString title = QStringLiteral("Temporary files on drive(s) ");
    for (const QString& entry : checkedEntries) {
        if (!entry.isEmpty())
            title += entry.at(0).toUpper() + QLatin1Char(' ');
    }
    return title;
}

} // namespace quickclean
