#include "dup/dupsearch.h"

#include "app/format.h"

#include <algorithm>

namespace dups {

QStringList criterionTexts() {
    return {QStringLiteral("Filename only"),
            QStringLiteral("Filename and size"),
            QStringLiteral("Filename, size and modify date/time"),
            QStringLiteral("Size only"),
            QStringLiteral("Size and modify date/time"),
            QStringLiteral("Size and type"),
            QStringLiteral("Type and modify date/time")};
}

// ---- the size filter -------------------------------------------------------------------------

bool SizeFilter::passes(qint64 size) const {
    switch (rule) {
    case SizeRule::LargerOrEqual:
        return size >= lower;
    case SizeRule::SmallerOrEqual:
        return size <= lower;
    case SizeRule::Between:
        return lower <= size && size <= upper;
    }
    return false;
}

qint64 limitBytes(qint64 number, bool kilobytes) {
    return kilobytes ? number * 1024 : number;
}

// ---- the grid --------------------------------------------------------------------------------

QStringList gridHeaders(Mode mode) {
    if (mode == Mode::Duplicates)
        return {QStringLiteral("Filename"), QStringLiteral("Size"),   QStringLiteral("Modified"),
                QStringLiteral("Time"),     QStringLiteral("Access"), QStringLiteral("Folder"),
                QStringLiteral("Type")};
    return {QStringLiteral("Size"),   QStringLiteral("Modified"), QStringLiteral("Time"),
            QStringLiteral("Access"), QStringLiteral("FileName"), QStringLiteral("Type")};
}

int columnCount(Mode mode) {
    return mode == Mode::Duplicates ? 7 : 6;
}

int sizeColumn(Mode mode) {
    return mode == Mode::Duplicates ? int(dcSize) : int(hcSize);
}

int markColumn(Mode mode) {
    return mode == Mode::Duplicates ? int(dcFilename) : int(hcFileName);
}

QString rowPath(const TextGrid& grid, int row, Mode mode) {
    if (mode == Mode::FileHogs)
        return grid.cell(hcFileName, row);
    const QString folder = grid.cell(dcFolder, row);
    const QString name = grid.cell(dcFilename, row);
    return folder.isEmpty() ? name : JoinPath(folder, name);
}

// ---- the search ------------------------------------------------------------------------------

Search::Search(bool& abortFlag, const SearchSettings& settings)
    : scan::Search(abortFlag), m_abort(abortFlag), m_settings(settings),
      m_found(settings.mode, settings.criterion) {
    m_walker.setPattern(settings.pattern);
    m_walker.callbacks().file = [this](const scan::WalkFolder& folder,
                                       const platform::DirEntry& entry) { collect(folder, entry); };
}

Search::Search(const SearchSettings& settings) : Search(m_ownAbort, settings) {}

void Search::abort() {
    m_abort = true;
    m_walker.abort();
}

void Search::collect(const scan::WalkFolder& folder, const platform::DirEntry& entry) {
    if (!m_settings.filter.passes(entry.size))
        return;
    if (!m_found.add(folder.path, entry)) {
        m_full = true;
        abort();
    }
}

void Search::scanDrives(const QList<QChar>& letters) {
    m_walker.scanAllDrives(letters);
}

void Search::scanTree(const QString& root) {
    m_walker.walkTree(root);
}

int Search::fillGrid(TextGrid& grid, SortDirections& directions) {
    grid.clearRows();
    const int rows = m_found.moveToGrid(grid);
    // The rows come largest first, as a descending "&Size" sort leaves them; so does the
    // command's direction, which is ascending for its next use.
    if (m_settings.mode == Mode::FileHogs)
        directions.size = SortDirection(false);
    return rows;
}

QString listFullMessage() {
    return QStringLiteral("Due to Windows resource limitations ... cannot process any more "
                          "files.\n\nTry increasing the file size limits or file match and "
                          "re-scan.");
}

QString foundText(Mode mode, qint64 rows) {
    return FormatThousands(rows) + (mode == Mode::Duplicates ? QStringLiteral(" duplicates found")
                                                             : QStringLiteral(" file hogs found"));
}

// ---- reports ---------------------------------------------------------------------------------

QString printTitle(const TitleSettings& s) {
    QString sizePhrase;
    switch (s.rule) {
    case SizeRule::LargerOrEqual:
        sizePhrase = QStringLiteral("larger or equal to ") + s.number1 + ' ' + s.unit;
        break;
    case SizeRule::SmallerOrEqual:
        sizePhrase = QStringLiteral("smaller or equal to ") + s.number1 + ' ' + s.unit;
        break;
    case SizeRule::Between:
        sizePhrase = QStringLiteral("in between ") + s.number1 + ' ' + s.unit +
                     QStringLiteral(" and ") + s.number2 + ' ' + s.unit;
        break;
    }
    QString title = (s.mode == Mode::Duplicates ? QStringLiteral("Duplicates ")
                                                : QStringLiteral("File Hogs ")) +
                    sizePhrase + QStringLiteral(" matching ") + s.pattern +
                    QStringLiteral(" on drive(s) ");
    for (QChar drive : s.drives)
        title += drive + QLatin1Char(' ');
    return title;
}

} // namespace dups
