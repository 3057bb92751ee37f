#include "cli/searches.h"

#include "app/format.h"
#include "app/gridmarks.h"
#include "clean/cachefolders.h"
#include "clean/quickclean.h"
#include "clean/temppatterns.h"
#include "delete/archivetags.h"
#include "dup/contentsplit.h"
#include "dup/dupsearch.h"
#include "platform/drives.h"
#include "stats/statpages.h"
#include "stats/statscan.h"

#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QLocale>

namespace cli {

namespace {

// ---- cells -----------------------------------------------------------------------------------

// A number cell of a grid ("1,234") as plain digits; empty stays empty.
QString plainNumber(const QString& cell) {
    return cell.isEmpty() ? cell : QString::number(SafeStrToInt(stats::stripCommas(cell)));
}

// The date and time cells of a grid in ISO 8601.  A grid holds few distinct dates and times
// among many rows, so each text is read once.
class IsoCells {
public:
    // A date cell as YYYY-MM-DD; empty when it holds no date.
    const QString& date(const QString& cell) {
        auto found = m_dates.constFind(cell);
        if (found == m_dates.constEnd()) {
            const QDate date = cell.isEmpty() ? QDate() : m_locale.toDate(cell, m_dateFormat);
            found = m_dates.insert(cell, date.isValid() ? date.toString(Qt::ISODate) : QString());
        }
        return *found;
    }
    // A date cell and a time cell as YYYY-MM-DDTHH:MM:SS.
    QString dateTime(const QString& dateCell, const QString& timeCell) {
        const QString& day = date(dateCell);
        if (day.isEmpty())
            return day;
        auto found = m_times.constFind(timeCell);
        if (found == m_times.constEnd()) {
            const QTime time = m_locale.toTime(timeCell, m_timeFormat);
            found = m_times.insert(
                timeCell,
                (time.isValid() ? time : QTime(0, 0)).toString(QStringLiteral("HH:mm:ss")));
        }
        return day + QLatin1Char('T') + *found;
    }

private:
    QLocale m_locale;
    QString m_dateFormat = shortDateFormat();
    QString m_timeFormat = longTimeFormat();
    QHash<QString, QString> m_dates;
    QHash<QString, QString> m_times;
};

QString isoTimestamp(qint64 nanoseconds) {
    return QDateTime::fromMSecsSinceEpoch(nanoseconds / 1000000).toString(Qt::ISODate);
}

// The files of the marked rows, handed over as the windows hand theirs over.
Disposable handOver(const GridMarks& marks, const char* tag) {
    return {marks.files(), marks.bytes(), QString::fromLatin1(tag), {}};
}

// ---- the large-file grid (hogs, clean) --------------------------------------------------------

void hogTable(TextGrid& grid, SearchOutcome& out, const Options& o, const char* tag) {
    using namespace dups;
    out.table.columns = {{QStringLiteral("size"), CellKind::Number},
                         {QStringLiteral("modified")},
                         {QStringLiteral("accessed")},
                         {QStringLiteral("path")},
                         {QStringLiteral("type")}};
    out.table.rows.reserve(size_t(grid.rowCount()));
    IsoCells iso;
    for (int row = 1; row < grid.rowCount(); ++row)
        out.table.rows.push_back({plainNumber(grid.cell(hcSize, row)),
                                  iso.dateTime(grid.cell(hcModified, row), grid.cell(hcTime, row)),
                                  iso.date(grid.cell(hcAccess, row)),
                                  rowPath(grid, row, Mode::FileHogs), grid.cell(hcType, row)});
    out.found = grid.rowCount() - 1;
    if (o.disposal != Disposal::None) {
        GridMarks marks;
        marks.markAll(grid, [&](int row) { return rowPath(grid, row, Mode::FileHogs); });
        out.disposable = handOver(marks, tag);
    }
}

// Whether a row of a group of identical files is a better one to keep than the row kept so far:
// the first listed, the oldest or newest by time of last write, or the shortest path (the
// first of those that tie).
std::function<bool(int row, int kept)> keepRule(const TextGrid& grid, Options::Keep keep,
                                                const std::function<QString(int row)>& pathOf) {
    switch (keep) {
    case Options::Keep::First:
        break;
    case Options::Keep::Oldest:
        return [&grid](int row, int kept) {
            return grid.identity(row).modified < grid.identity(kept).modified;
        };
    case Options::Keep::Newest:
        return [&grid](int row, int kept) {
            return grid.identity(row).modified > grid.identity(kept).modified;
        };
    case Options::Keep::ShortestPath:
        return [pathOf](int row, int kept) { return pathOf(row).size() < pathOf(kept).size(); };
    }
    return {};
}

// ---- the searches ----------------------------------------------------------------------------

// Walks the targets for the search; the outcome learns what could not be read.
void walk(scan::Search& search, const QList<Target>& targets, Progress& progress,
          SearchOutcome& out, const std::function<bool()>& stopped = {}) {
    out.error = walkTargets(search.walker(), targets, progress, stopped);
    out.skipped = search.skippedCount();
}

void runDups(const Options& o, const QList<Target>& targets, Progress& progress,
             SearchOutcome& out) {
    using namespace dups;
    Search search(o.dup);
    walk(search, targets, progress, out, [&] { return search.listFull(); });
    if (search.listFull())
        progress.message(listFullMessage());
    const Mode mode = o.dup.mode;
    TextGrid grid(columnCount(mode));
    grid.setHeader(gridHeaders(mode));
    SortDirections directions;
    search.fillGrid(grid, directions);
    if (mode == Mode::FileHogs) {
        hogTable(grid, out, o, archiveTags::Duplicates);
        return;
    }
    // A disposal always proves contents first: only a file whose bytes another listed file
    // holds may go, so the last copy of anything stays.
    if (o.content || o.disposal != Disposal::None) {
        // The criterion's groups are the candidates; only files of one contents stay together.
        const ContentRequest request = contentRequest(grid, mode);
        const ContentGroups result = groupByContents(request.files, request.candidates);
        for (const LeftOut& file : splitByContents(grid, mode, result))
            progress.message(QStringLiteral("left out %1: %2").arg(file.path, file.reason));
    }
    out.table.columns = {{QStringLiteral("group"), CellKind::Number},
                         {QStringLiteral("filename")},
                         {QStringLiteral("size"), CellKind::Number},
                         {QStringLiteral("modified")},
                         {QStringLiteral("accessed")},
                         {QStringLiteral("path")},
                         {QStringLiteral("type")}};
    // The groups are those of the search; of each, all but the one row kept go.
    IsoCells iso;
    for (int row = 1; row < grid.rowCount(); ++row)
        out.table.rows.push_back({QString::number(grid.group(row)), grid.cell(dcFilename, row),
                                  plainNumber(grid.cell(dcSize, row)),
                                  iso.dateTime(grid.cell(dcModified, row), grid.cell(dcTime, row)),
                                  iso.date(grid.cell(dcAccess, row)), rowPath(grid, row, mode),
                                  grid.cell(dcType, row)});
    out.found = grid.rowCount() - 1;
    if (o.disposal != Disposal::None) {
        GridMarks marks;
        const auto pathOf = [&](int row) { return rowPath(grid, row, mode); };
        marks.markCopies(grid, pathOf, keepRule(grid, o.keep, pathOf));
        out.disposable = handOver(marks, archiveTags::Duplicates);
        // The contents were proven above; each file is compared with its kept copy again right
        // before it goes.
        out.disposable.copies = copyGroupsOf(grid, pathOf, true);
    }
}

void runDates(const Options& o, const QList<Target>& targets, Progress& progress,
              SearchOutcome& out) {
    using namespace dates;
    TextGrid grid(kColumnCount);
    grid.setHeader(gridHeaders());
    Search search(o.date, grid);
    walk(search, targets, progress, out);
    out.table.columns = {{QStringLiteral("filename")},
                         {QStringLiteral("accessed")},
                         {QStringLiteral("created")},
                         {QStringLiteral("modified")},
                         {QStringLiteral("size"), CellKind::Number},
                         {QStringLiteral("path")},
                         {QStringLiteral("type")}};
    out.table.rows.reserve(size_t(grid.rowCount()));
    IsoCells iso;
    for (int row = 1; row < grid.rowCount(); ++row)
        out.table.rows.push_back(
            {grid.cell(mcFilename, row), iso.date(grid.cell(mcAccessed, row)),
             iso.date(grid.cell(mcCreated, row)), iso.date(grid.cell(mcModified, row)),
             plainNumber(grid.cell(mcSize, row)), rowPath(grid, row), grid.cell(mcType, row)});
    out.found = grid.rowCount() - 1;
    if (o.disposal != Disposal::None) {
        GridMarks marks;
        marks.markAll(grid, [&](int row) { return rowPath(grid, row); });
        out.disposable = handOver(marks, archiveTags::FileDates);
    }
}

void runFolderHogs(const Options& o, const QList<Target>& targets, Progress& progress,
                   SearchOutcome& out) {
    using namespace folderhogs;
    Search search(o.folderMode);
    walk(search, targets, progress, out);
    // The window's order: the copy order, then largest first.
    QStringList rows = search.takeRows();
    sortCopyOrder(rows);
    TextGrid grid(kColumnCount);
    grid.setHeader(gridHeaders());
    for (const QString& row : std::as_const(rows))
        grid.appendJoinedRow(row);
    SortDirections directions;
    sortGrid(grid, hcSize, directions);
    out.table.columns = {{QStringLiteral("size"), CellKind::Number},
                         {QStringLiteral("used")},
                         {QStringLiteral("files"), CellKind::Number},
                         {QStringLiteral("subfolders"), CellKind::Number},
                         {QStringLiteral("accessed")},
                         {QStringLiteral("path")}};
    IsoCells iso;
    for (int row = 1; row < grid.rowCount(); ++row)
        out.table.rows.push_back({plainNumber(grid.cell(hcSize, row)), grid.cell(hcUsed, row),
                                  plainNumber(grid.cell(hcFiles, row)),
                                  plainNumber(grid.cell(hcSubfolders, row)),
                                  iso.date(grid.cell(hcAccess, row)), grid.cell(hcName, row)});
    out.found = grid.rowCount() - 1;
}

void runClean(const Options& o, const QList<Target>& targets, Progress& progress,
              SearchOutcome& out) {
    QStringList items;
    for (const QString& pattern : o.tempPatterns)
        items << tempfiles::itemOf(pattern);
    if (o.tempPatterns.isEmpty())
        items = tempfiles::readPatterns().items();
    if (items.isEmpty()) {
        out.error = QStringLiteral("no temporary-file patterns: give --pattern");
        return;
    }
    quickclean::Search search(items);
    walk(search, targets, progress, out);
    TextGrid grid(dups::columnCount(quickclean::kGridMode));
    grid.setHeader(dups::gridHeaders(quickclean::kGridMode));
    dups::SortDirections directions;
    search.fillGrid(grid, directions);
    hogTable(grid, out, o, archiveTags::TempClean);
}

void runCache(const Options& o, SearchOutcome& out) {
    QStringList folders;
    if (o.targets.isEmpty()) {
        folders = cachefolders::readFolders();
        if (folders.isEmpty()) {
            out.error = QStringLiteral("no cache folders listed: name a folder");
            return;
        }
    } else {
        const Targets targets = resolveTargets(o.targets);
        if (!targets.error.isEmpty()) {
            out.error = targets.error;
            return;
        }
        for (const Target& target : targets.places)
            folders << (target.drive.isNull() ? target.folder
                                              : platform::driveByLetter(target.drive)->root);
    }
    const cachefolders::ClearList list =
        cachefolders::collect(folders, o.days, QDate::currentDate());
    out.table.columns = {{QStringLiteral("size"), CellKind::Number},
                         {QStringLiteral("modified")},
                         {QStringLiteral("path")}};
    for (const ListedFile& file : list.files)
        out.table.rows.push_back(
            {QString::number(file.identity.size), isoTimestamp(file.identity.modified), file.path});
    out.found = list.files.size();
    out.disposable = {list.files, list.bytes, QString::fromLatin1(archiveTags::InternetCache), {}};
}

// ---- statistics ------------------------------------------------------------------------------

QJsonArray classArray(const QStringList& labels, const qint64* counts, const qint64* bytes, int n) {
    QJsonArray array;
    for (int i = 0; i < n; ++i)
        array.append(QJsonObject{{QStringLiteral("class"), labels.at(i)},
                                 {QStringLiteral("files"), double(counts[i])},
                                 {QStringLiteral("bytes"), double(bytes[i])}});
    return array;
}

// The file-type filter of the statistics: every file, or the selected types only.
stats::TypeFilter typeFilter(const QStringList& patterns) {
    stats::TypeFilter filter;
    if (patterns.isEmpty())
        return filter;
    filter.allFiles = false;
    for (const QString& pattern : patterns)
        filter.entries << tempfiles::itemOf(pattern);
    return filter;
}

void runStats(const Options& o, const QList<Target>& targets, Progress& progress,
              SearchOutcome& out) {
    using namespace stats;
    Collector collector(typeFilter(o.statTypes), QDate::currentDate());
    collector.setOverhang(targets.size() == 1 && !targets.first().drive.isNull());
    walk(collector, targets, progress, out);
    presetSelectedTypes(collector.totals().types, collector.filter());
    const StatTotals& t = collector.totals();
    out.found = t.filesCounted;
    out.table.columns = {{QStringLiteral("section")},
                         {QStringLiteral("class")},
                         {QStringLiteral("files"), CellKind::Number},
                         {QStringLiteral("bytes"), CellKind::Number}};
    auto add = [&](const QString& section, const QString& label, qint64 files, qint64 bytes) {
        out.table.rows.push_back({section, label, QString::number(files), QString::number(bytes)});
    };
    add(QStringLiteral("total"), QStringLiteral("all"), t.filesCounted, t.totalBytes());
    // Smallest class first; the label lists go from the largest and the oldest.
    const QStringList sizeLabels = sizeRowLabels();
    QStringList sizes;
    for (int c = 1; c <= kSizeClasses; ++c) {
        sizes << sizeLabels.at(kSizeClasses - c);
        add(QStringLiteral("size"), sizes.last(), t.sizeClassCount[size_t(c - 1)],
            t.sizeClassBytes[size_t(c - 1)]);
    }
    const QStringList ageLabels = ageRowLabels();
    QStringList ages;
    for (int a = 0; a < kAgeClasses; ++a)
        ages << ageLabels.at(kAgeClasses - 1 - a);
    const char* const kinds[] = {"accessed", "created", "modified"};
    QJsonObject object{
        {QStringLiteral("files"), double(t.filesCounted)},
        {QStringLiteral("bytes"), double(t.totalBytes())},
        {QStringLiteral("sizes"),
         classArray(sizes, t.sizeClassCount.data(), t.sizeClassBytes.data(), kSizeClasses)}};
    for (int k = 0; k < 3; ++k) {
        const QString kind = QLatin1String(kinds[k]);
        for (int a = 0; a < kAgeClasses; ++a)
            add(kind, ages.at(a), t.ageCount[size_t(k)][size_t(a)],
                t.ageBytes[size_t(k)][size_t(a)]);
        object.insert(kind, classArray(ages, t.ageCount[size_t(k)].data(),
                                       t.ageBytes[size_t(k)].data(), kAgeClasses));
    }
    QJsonArray types;
    for (const TypeRow& row : t.types.rows()) {
        add(QStringLiteral("type"), row.extension, row.files, row.bytes);
        types.append(QJsonObject{{QStringLiteral("extension"), row.extension},
                                 {QStringLiteral("files"), double(row.files)},
                                 {QStringLiteral("bytes"), double(row.bytes)}});
    }
    object.insert(QStringLiteral("types"), types);
    // The space lost in part-filled clusters, when one whole drive was counted.
    if (collector.overhang()) {
        QJsonArray overhang;
        for (int k = 0; k < kClusterSizes; ++k) {
            const QString cluster = QString::number(kClusterSize[k]);
            out.table.rows.push_back({QStringLiteral("overhang"), cluster, QString(),
                                      QString::number(t.clusterWaste[size_t(k)])});
            overhang.append(
                QJsonObject{{QStringLiteral("cluster"), double(kClusterSize[k])},
                            {QStringLiteral("bytes"), double(t.clusterWaste[size_t(k)])}});
        }
        object.insert(QStringLiteral("overhang"), overhang);
    }
    out.table.object = object;
}

} // namespace

SearchOutcome runSearch(const Options& options, Progress& progress) {
    SearchOutcome out;
    if (options.command == Command::Cache) {
        runCache(options, out);
        return out;
    }
    const Targets targets = resolveTargets(options.targets);
    if (!targets.error.isEmpty()) {
        out.error = targets.error;
        return out;
    }
    switch (options.command) {
    case Command::Dups:
    case Command::Hogs:
        runDups(options, targets.places, progress, out);
        break;
    case Command::Dates:
        runDates(options, targets.places, progress, out);
        break;
    case Command::FolderHogs:
        runFolderHogs(options, targets.places, progress, out);
        break;
    case Command::Clean:
        runClean(options, targets.places, progress, out);
        break;
    case Command::Stats:
        runStats(options, targets.places, progress, out);
        break;
    case Command::Cache:
    case Command::None:
        break;
    }
    return out;
}

} // namespace cli
