#include "search/folderhogs.h"

#include "app/format.h"
#include "platform/drives.h"

#include <QLocale>
#include <algorithm>

namespace folderhogs {

QStringList gridHeaders() {
    return {QStringLiteral("Size"),
            QStringLiteral("% Used"),
            QStringLiteral("# Files"),
            QStringLiteral("# Sub-folders"),
            QStringLiteral("Latest File Access"),
            QStringLiteral("Name")};
}

QString percentUsed(qint64 bytes, quint64 capacity) {
    if (capacity == 0 || double(bytes) >= double(capacity))
        return QStringLiteral("???");
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(double(bytes) / double(capacity) * 100.0, 'f', 2);
}

QString resultRow(const Totals& totals, quint64 capacity, const QString& path) {
    const QChar sep = TextGrid::cellSeparator();
    const QDate accessed = filetime::dosDate(totals.latestAccess);
    QString row = FormatThousands(totals.bytes);
    row += sep + percentUsed(totals.bytes, capacity);
    row += sep + QString::number(totals.files);
    row += sep + QString::number(totals.subfolders);
    row += sep;
    if (accessed.isValid())
        row += QLocale().toString(accessed, shortDateFormat());
    row += sep + path;
    return row;
}

// ---- the search --------------------------------------------------------------------------------

Search::Search(Mode mode) : m_mode(mode) {
    m_walker.setFileMask(platform::faAnyFile);
    scan::WalkCallbacks& callbacks = m_walker.callbacks();
    callbacks.enterFolder = [this](const scan::WalkFolder& f) { enterFolder(f); };
    callbacks.file = [this](const scan::WalkFolder& f, const platform::DirEntry& e) {
        entry(f, e);
    };
    callbacks.leaveFolder = [this](const scan::WalkFolder& f, bool complete) {
        leaveFolder(f, complete);
    };
}

Totals* Search::totalsAt(int depth) {
    if (m_mode == Mode::AllFolders)
        return &m_open[size_t(depth)];
    // Everything below a main folder adds to it; the root's own entries add to nothing.
    return depth >= 1 ? &m_open[1] : nullptr;
}

void Search::enterFolder(const scan::WalkFolder& folder) {
    if (folder.depth == 0) {
        m_capacity = 0;
        QChar letter = folder.drive;
        if (letter.isNull())
            if (const auto drive = platform::driveOfPath(folder.root))
                letter = drive->letter;
        platform::DiskGeometry geometry;
        if (!letter.isNull() && platform::diskGeometry(letter, &geometry))
            m_capacity = geometry.capacity();
    }
    if (m_open.size() <= size_t(folder.depth))
        m_open.resize(size_t(folder.depth) + 1);
    if (m_mode == Mode::AllFolders || folder.depth == 1)
        m_open[size_t(folder.depth)] = Totals();
}

void Search::entry(const scan::WalkFolder& folder, const platform::DirEntry& entry) {
    Totals* totals = totalsAt(folder.depth);
    if (!totals)
        return;
    if (entry.attributes & platform::faDirectory) {
        // Hidden folders are not entered, so in "Main folders" they do not count either.
        if (m_mode == Mode::AllFolders || !(entry.attributes & platform::faHidden))
            ++totals->subfolders;
        return;
    }
    ++totals->files;
    if (m_firstNames.first(entry.device, entry.inode, entry.links))
        totals->bytes += entry.size;
    totals->latestAccess = std::max(totals->latestAccess, m_packer.pack(entry.accessTime));
}

void Search::leaveFolder(const scan::WalkFolder& folder, bool complete) {
    if (m_stopped)
        return;
    if (m_mode == Mode::MainFolders && folder.depth != 1)
        return;
    // The first folder left unfinished is the one in progress; its outer folders are not.
    if (!complete)
        m_stopped = true;
    m_rows << resultRow(m_open[size_t(folder.depth)], m_capacity, folder.path);
}

// ---- the lists -------------------------------------------------------------------------------

void sortCopyOrder(QStringList& rows) {
    std::sort(rows.begin(), rows.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) > 0;
    });
}

QString clipboardText(const QStringList& lines) {
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += u'\n';
    }
    text.replace(TextGrid::cellSeparator(), u'\t');
    return text;
}

bool sortGrid(TextGrid& grid, int column, SortDirections& directions) {
    // How each column's cells are read; % Used is not sorted.
    static const GridSort kSorts[kColumnCount] = {SortGridByNumber, nullptr,
                                                  SortGridByNumber, SortGridByNumber,
                                                  SortGridByDate,   SortGridByText};
    if (column < 0 || column >= kColumnCount || !kSorts[column] || grid.rowCount() < 3)
        return false;
    kSorts[column](grid, 1, grid.rowCount() - 1, column, directions.column[size_t(column)].take());
    return true;
}

QString printTitle(const QList<QChar>& letters) {
    QString title = QStringLiteral("Folder hogs on drive(s) ");
    for (QChar letter : letters)
        title += letter.toUpper() + QLatin1Char(' ');
    return title;
}

} // namespace folderhogs
