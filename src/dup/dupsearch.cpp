#include "dup/dupsearch.h"

#include "app/filetime.h"
#include "app/format.h"
#include "app/shell.h"
#include "stats/filetypes.h"

#include <QHash>
#include <QLocale>
#include <QStringView>
#include <algorithm>
#include <array>
#include <cstring>
#include <new>

namespace dups {

namespace {

constexpr QChar kTab(u'\t');

// The fields of a found file.  Path is the large-file grid's folder and name in one.
enum Field : quint8 { fName, fSize, fDate, fTime, fAccess, fFolder, fType, fPath };

// A list of fields in the order they are compared or written.
struct FieldList {
    std::array<Field, 9> at;
    int count;
};

// The fields of a found line, in the line's order.
FieldList lineFields(Mode mode, Criterion criterion) {
    if (mode == Mode::FileHogs)
        return {{fSize, fDate, fTime, fAccess, fPath, fType}, 6};
    switch (criterion) {
    case SizeOnly:
    case SizeDateTime:
    case SizeAndType:
        return {{fSize, fName, fDate, fTime, fAccess, fFolder, fType}, 7};
    case TypeDateTime:
        return {{fType, fDate, fTime, fName, fSize, fAccess, fFolder}, 7};
    default:
        return {{fName, fSize, fDate, fTime, fAccess, fFolder, fType}, 7};
    }
}

// The fields two files must share under a criterion.
FieldList keyFields(Criterion criterion) {
    switch (criterion) {
    case FilenameOnly:
        return {{fName}, 1};
    case FilenameAndSize:
        return {{fName, fSize}, 2};
    case FilenameSizeDateTime:
        return {{fName, fSize, fDate, fTime}, 4};
    case SizeOnly:
        return {{fSize}, 1};
    case SizeDateTime:
        return {{fSize, fDate, fTime}, 3};
    case SizeAndType:
        return {{fSize, fType}, 2};
    case TypeDateTime:
        return {{fType, fDate, fTime}, 3};
    }
    return {{fName}, 1};
}

// The order the files are sorted in: the line's fields, or under "Size and modify date/time"
// and "Size and type" (whose key is not the beginning of the line) the key first.  A path
// compares as its folder, then its name.
FieldList sortFields(Mode mode, Criterion criterion) {
    FieldList order{{}, 0};
    auto add = [&order](Field f) {
        if (f == fPath) {
            order.at[size_t(order.count++)] = fFolder;
            order.at[size_t(order.count++)] = fName;
        } else {
            order.at[size_t(order.count++)] = f;
        }
    };
    const FieldList line = lineFields(mode, criterion);
    if (mode == Mode::Duplicates && (criterion == SizeDateTime || criterion == SizeAndType)) {
        const FieldList key = keyFields(criterion);
        for (int k = 0; k < key.count; ++k)
            add(key.at[size_t(k)]);
    }
    for (int k = 0; k < line.count; ++k) {
        if (mode == Mode::FileHogs && line.at[size_t(k)] == fSize)
            continue; // large files are ordered by their size as a number first
        add(line.at[size_t(k)]);
    }
    return order;
}

// Numbers for distinct texts: each text gets the next number the first time it is seen.  A
// table of its own because it is asked once or twice for every file of a walk: the hash is
// cheap, and a lookup by QStringView needs no copy of the text.
class TextIds {
public:
    TextIds() : m_slots(64, 0) {}

    const std::vector<QString>& texts() const { return m_texts; }
    const QString& text(quint32 id) const { return m_texts[id]; }
    size_t size() const { return m_texts.size(); }

    // The number of the text, giving it one when it is new (`made` tells).
    quint32 idOf(QStringView text, bool* made = nullptr) {
        const size_t mask = m_slots.size() - 1;
        for (size_t slot = hash(text) & mask;; slot = (slot + 1) & mask) {
            const quint32 entry = m_slots[slot];
            if (entry == 0) {
                const auto id = quint32(m_texts.size());
                m_texts.push_back(text.toString());
                m_slots[slot] = id + 1;
                if (m_texts.size() * 2 > m_slots.size())
                    grow();
                if (made)
                    *made = true;
                return id;
            }
            const QString& known = m_texts[entry - 1];
            if (known.size() == text.size() && QStringView(known) == text) {
                if (made)
                    *made = false;
                return entry - 1;
            }
        }
    }

private:
    static size_t hash(QStringView text) {
        quint64 h = 0x9E3779B97F4A7C15ull ^ quint64(text.size());
        const char16_t* p = text.utf16();
        qsizetype n = text.size();
        for (; n >= 4; p += 4, n -= 4) {
            quint64 k;
            std::memcpy(&k, p, sizeof k);
            h = (h ^ k) * 0xBF58476D1CE4E5B9ull;
            h ^= h >> 31;
        }
        for (; n > 0; ++p, --n)
            h = (h ^ *p) * 0x94D049BB133111EBull;
        h ^= h >> 29;
        h *= 0xBF58476D1CE4E5B9ull;
        return size_t(h ^ (h >> 32));
    }
    void grow() {
        std::vector<quint32> table(m_slots.size() * 2, 0);
        const size_t mask = table.size() - 1;
        for (size_t id = 0; id < m_texts.size(); ++id) {
            size_t slot = hash(m_texts[id]) & mask;
            while (table[slot] != 0)
                slot = (slot + 1) & mask;
            table[slot] = quint32(id + 1);
        }
        m_slots.swap(table);
    }

    std::vector<QString> m_texts;
    std::vector<quint32> m_slots; // number + 1, 0 for a free slot
};

// Ranks of texts: equal ranks for texts equal ignoring case, higher ranks for later texts.
template <typename TextOf> std::vector<quint32> rankTexts(size_t count, TextOf textOf) {
    std::vector<quint32> order(count);
    for (size_t i = 0; i < count; ++i)
        order[i] = quint32(i);
    std::stable_sort(order.begin(), order.end(), [&textOf](quint32 a, quint32 b) {
        return compareIgnoringCase(textOf(a), textOf(b)) < 0;
    });
    std::vector<quint32> rank(count);
    for (size_t k = 0; k < count; ++k) {
        if (k == 0)
            rank[order[k]] = 0;
        else
            rank[order[k]] = rank[order[k - 1]] +
                             (compareIgnoringCase(textOf(order[k - 1]), textOf(order[k])) != 0);
    }
    return rank;
}

} // namespace

Mode currentMode() {
    return shell::duplicateMode() == 1 ? Mode::Duplicates : Mode::FileHogs;
}

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

// ---- found lines -----------------------------------------------------------------------------

struct FoundList::Data {
    // One found file: indexes into the tables of distinct values, and its packed times.
    struct Record {
        quint32 name;
        quint32 folder;
        quint32 size;
        quint32 type;
        quint16 date;   // last write, packed date; 0 for none
        quint16 time;   // last write, packed time
        quint16 access; // last access, packed date; 0 for none
        quint32 device; // index into devices
        quint64 inode;
        qint64 modified; // last write, nanoseconds since the epoch
    };
    std::vector<Record> records;

    TextIds names;
    std::vector<QString> folders; // each folder's files come together in a walk
    std::vector<qint64> sizes;
    QHash<qint64, quint32> sizeIds;
    TextIds extensions;
    std::vector<QString> types; // the type name of each extension
    filetime::Packer packer;
    std::vector<quint64> devices; // the few devices of a search

    bool sorted = true;
    std::vector<QString> sizeTexts, dateTexts, timeTexts;
    std::vector<quint32> nameRank, folderRank, sizeRank, typeRank, dateRank, timeRank;
    std::vector<quint32> sizeValueRank; // rank of each size as a number

    quint32 sizeIdOf(qint64 size) {
        const auto found = sizeIds.constFind(size);
        if (found != sizeIds.cend())
            return found.value();
        const auto id = quint32(sizes.size());
        sizes.push_back(size);
        sizeIds.insert(size, id);
        return id;
    }
    quint32 deviceIdOf(quint64 device) {
        for (size_t i = devices.size(); i-- > 0;)
            if (devices[i] == device)
                return quint32(i);
        devices.push_back(device);
        return quint32(devices.size() - 1);
    }
    // The identity of the file a record lists, as the walk saw it.
    platform::FileIdentity identity(const Record& r) const {
        platform::FileIdentity id;
        id.device = devices[r.device];
        id.inode = r.inode;
        id.size = sizes[r.size];
        id.modified = r.modified;
        return id;
    }
    quint32 typeIdOf(const QString& name) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        const QStringView extension = dot < 0 ? QStringView() : QStringView(name).mid(dot);
        bool made = false;
        const quint32 id = extensions.idOf(extension, &made);
        if (made)
            types.push_back(extension.isEmpty() ? QString()
                                                : fileTypeDescription(extension.toString()));
        return id;
    }

    // The rank of a record's field among the texts of that field.
    quint32 rank(const Record& r, Field f) const {
        switch (f) {
        case fName:
            return nameRank[r.name];
        case fSize:
            return sizeRank[r.size];
        case fDate:
            return dateRank[r.date];
        case fTime:
            return r.date == 0 ? 0 : timeRank[r.time] + 1; // no time comes before every time
        case fAccess:
            return dateRank[r.access];
        case fFolder:
            return folderRank[r.folder];
        case fType:
            return typeRank[r.type];
        case fPath:
            break;
        }
        return 0;
    }
    int compare(const Record& a, const Record& b, const FieldList& fields) const {
        for (int k = 0; k < fields.count; ++k) {
            const quint32 ra = rank(a, fields.at[size_t(k)]);
            const quint32 rb = rank(b, fields.at[size_t(k)]);
            if (ra != rb)
                return ra < rb ? -1 : 1;
        }
        return 0;
    }

    // The texts of a record's fields; a path is its folder and its name.
    QStringView text(const Record& r, Field f) const {
        switch (f) {
        case fName:
            return names.text(r.name);
        case fSize:
            return sizeTexts[r.size];
        case fDate:
            return dateTexts[r.date];
        case fTime:
            return r.date == 0 ? QStringView() : QStringView(timeTexts[r.time]); // no date, no time
        case fAccess:
            return dateTexts[r.access];
        case fFolder:
            return folders[r.folder];
        case fType:
            return types[r.type];
        case fPath:
            break;
        }
        return QStringView();
    }
    // The fields' texts joined by the separator, in one allocation.
    QString join(const Record& r, const FieldList& fields, QChar separator) const {
        struct Part {
            QStringView text;
            bool hasNext;
            QChar next; // the character after the text
        };
        std::array<Part, 10> parts;
        int count = 0;
        qsizetype length = 0;
        auto put = [&](QStringView text, bool hasNext, QChar next) {
            parts[size_t(count++)] = Part{text, hasNext, next};
            length += text.size() + (hasNext ? 1 : 0);
        };
        for (int k = 0; k < fields.count; ++k) {
            const Field f = fields.at[size_t(k)];
            const bool last = k + 1 == fields.count;
            if (f == fPath) {
                const QString& folder = folders[r.folder];
                put(folder, !folder.endsWith(QLatin1Char('/')), QLatin1Char('/'));
                put(names.text(r.name), !last, separator);
            } else {
                put(text(r, f), !last, separator);
            }
        }
        QString line(length, Qt::Uninitialized);
        QChar* out = line.data();
        for (int k = 0; k < count; ++k) {
            const Part& part = parts[size_t(k)];
            out = std::copy(part.text.begin(), part.text.end(), out);
            if (part.hasNext)
                *out++ = part.next;
        }
        return line;
    }

    void rankFields(Mode mode) {
        // Each distinct size, date and time is written once.
        sizeTexts.resize(sizes.size());
        for (size_t i = 0; i < sizes.size(); ++i)
            sizeTexts[i] = FormatThousands(sizes[i]);
        nameRank =
            rankTexts(names.size(), [this](quint32 i) { return QStringView(names.text(i)); });
        folderRank =
            rankTexts(folders.size(), [this](quint32 i) { return QStringView(folders[i]); });
        sizeRank =
            rankTexts(sizeTexts.size(), [this](quint32 i) { return QStringView(sizeTexts[i]); });
        typeRank = rankTexts(types.size(), [this](quint32 i) { return QStringView(types[i]); });
        if (mode == Mode::FileHogs) {
            // Large files are ordered by their size as a number.
            std::vector<quint32> order(sizes.size());
            for (size_t i = 0; i < order.size(); ++i)
                order[i] = quint32(i);
            std::sort(order.begin(), order.end(),
                      [this](quint32 a, quint32 b) { return sizes[a] < sizes[b]; });
            sizeValueRank.assign(sizes.size(), 0);
            for (size_t k = 0; k < order.size(); ++k)
                sizeValueRank[order[k]] = quint32(k);
        }
        // Dates and times: the texts of the values that occur, and their ranks.
        dateTexts.assign(0x10000, QString());
        timeTexts.assign(0x10000, QString());
        std::vector<bool> dateSeen(0x10000), timeSeen(0x10000);
        for (const Record& r : records) {
            dateSeen[r.date] = dateSeen[r.access] = true;
            if (r.date != 0)
                timeSeen[r.time] = true;
        }
        const QLocale locale;
        const QString dateFormat = shortDateFormat();
        const QString timeFormat = longTimeFormat();
        // A packed time is read on any valid date: 1 January 1980.
        const quint32 anyDate = quint32(1 << 5 | 1) << 16;
        for (quint32 v = 0; v < 0x10000; ++v) {
            if (dateSeen[v] && v != 0)
                dateTexts[v] = locale.toString(filetime::unpackDos(v << 16).date(), dateFormat);
            if (timeSeen[v])
                timeTexts[v] = locale.toString(filetime::unpackDos(anyDate | v).time(), timeFormat);
        }
        dateRank = rankSeen(dateSeen, dateTexts);
        timeRank = rankSeen(timeSeen, timeTexts);
    }
    static std::vector<quint32> rankSeen(const std::vector<bool>& seen,
                                         const std::vector<QString>& valueTexts) {
        std::vector<quint32> values;
        for (quint32 v = 0; v < seen.size(); ++v) {
            if (seen[v])
                values.push_back(v);
        }
        const std::vector<quint32> ranks =
            rankTexts(values.size(), [&](quint32 i) { return QStringView(valueTexts[values[i]]); });
        std::vector<quint32> byValue(seen.size());
        for (size_t i = 0; i < values.size(); ++i)
            byValue[values[i]] = ranks[i];
        return byValue;
    }

    // The number of different ranks of a field.
    quint32 rankCount(Field f) const {
        switch (f) {
        case fName:
            return quint32(names.size());
        case fSize:
            return quint32(sizes.size());
        case fDate:
        case fAccess:
        case fTime:
            return 0x10000 + 1;
        case fFolder:
            return quint32(folders.size());
        case fType:
            return quint32(types.size());
        case fPath:
            break;
        }
        return 1;
    }

    // Sorts the records by one rank per pass, from the last field to the first; each pass
    // keeps the order of records of equal rank, so the result is ordered by all the fields.
    template <typename RankOf> void sortPass(quint32 rankCount, RankOf rankOf) {
        std::vector<quint32> start(size_t(rankCount) + 1, 0);
        for (const Record& r : records)
            ++start[rankOf(r) + 1];
        for (size_t k = 1; k < start.size(); ++k)
            start[k] += start[k - 1];
        std::vector<Record> sorted(records.size());
        for (const Record& r : records)
            sorted[start[rankOf(r)]++] = r;
        records.swap(sorted);
    }

    void sort(Mode mode, Criterion criterion) {
        if (sorted)
            return;
        rankFields(mode);
        const FieldList order = sortFields(mode, criterion);
        // Large files go largest first, files of equal size in descending order of the other
        // fields: every rank is turned round.
        const bool descending = mode == Mode::FileHogs;
        for (int k = order.count - 1; k >= 0; --k) {
            const Field f = order.at[size_t(k)];
            const quint32 count = rankCount(f);
            sortPass(count, [this, f, count, descending](const Record& r) {
                const quint32 rank = this->rank(r, f);
                return descending ? count - 1 - rank : rank;
            });
        }
        if (mode == Mode::FileHogs) {
            const auto count = quint32(sizes.size());
            sortPass(count,
                     [this, count](const Record& r) { return count - 1 - sizeValueRank[r.size]; });
        }
        sorted = true;
    }
};

FoundList::FoundList(Mode mode, Criterion criterion)
    : m_mode(mode), m_criterion(criterion), m_data(std::make_unique<Data>()) {}

FoundList::~FoundList() = default;

qsizetype FoundList::count() const {
    return qsizetype(m_data->records.size());
}

bool FoundList::add(const QString& folder, const platform::DirEntry& entry) {
    if (m_limit >= 0 && count() >= m_limit)
        return false;
    Data& d = *m_data;
    try {
        // The walk hands over the same text for every file of a folder.
        const bool sameFolder =
            !d.folders.empty() && (d.folders.back().constData() == folder.constData()
                                       ? d.folders.back().size() == folder.size()
                                       : d.folders.back() == folder);
        if (!sameFolder)
            d.folders.push_back(folder);
        Data::Record r;
        r.folder = quint32(d.folders.size() - 1);
        r.name = d.names.idOf(entry.name);
        r.size = d.sizeIdOf(entry.size);
        r.type = d.typeIdOf(entry.name);
        const quint32 written = d.packer.pack(entry.writeTime);
        r.date = quint16(written >> 16);
        r.time = quint16(written & 0xFFFF);
        r.access = quint16(d.packer.pack(entry.accessTime) >> 16);
        r.device = d.deviceIdOf(entry.device);
        r.inode = entry.inode;
        r.modified = platform::identityOf(entry).modified;
        d.records.push_back(r);
    } catch (const std::bad_alloc&) {
        return false;
    }
    d.sorted = false;
    return true;
}

QStringList FoundList::lines() {
    Data& d = *m_data;
    d.sort(m_mode, m_criterion);
    const FieldList fields = lineFields(m_mode, m_criterion);
    QStringList lines;
    lines.reserve(count());
    for (const Data::Record& r : d.records)
        lines << d.join(r, fields, kTab);
    return lines;
}

int FoundList::moveToGrid(TextGrid& grid) {
    Data& d = *m_data;
    d.sort(m_mode, m_criterion);
    // Grid rows have the columns of the mode.
    const FieldList columns =
        m_mode == Mode::FileHogs
            ? lineFields(m_mode, m_criterion)
            : FieldList{{fName, fSize, fDate, fTime, fAccess, fFolder, fType}, 7};
    const qsizetype n = count();
    int rows = 0;
    auto append = [&](const Data::Record& r) {
        grid.appendJoinedRow(d.join(r, columns, TextGrid::cellSeparator()), false, d.identity(r));
        ++rows;
    };
    if (m_mode == Mode::FileHogs) {
        grid.reserveRows(grid.rowCount() + int(n));
        for (const Data::Record& r : d.records)
            append(r);
    } else {
        // The groups: runs of files whose key equals that of the run's first file.
        const FieldList key = keyFields(m_criterion);
        std::vector<std::pair<qsizetype, qsizetype>> groups;
        qsizetype total = 0;
        for (qsizetype i = 0; i < n;) {
            qsizetype j = i + 1;
            while (j < n && d.compare(d.records[size_t(i)], d.records[size_t(j)], key) == 0)
                ++j;
            if (j - i >= 2) {
                groups.emplace_back(i, j);
                total += j - i;
            }
            i = j;
        }
        grid.reserveRows(grid.rowCount() + int(total));
        for (const auto& [first, end] : groups) {
            for (qsizetype k = first; k < end; ++k)
                append(d.records[size_t(k)]);
        }
    }
    m_data = std::make_unique<Data>();
    return rows;
}

// ---- the search ------------------------------------------------------------------------------

Search::Search(bool& abortFlag, const SearchSettings& settings)
    : m_abort(abortFlag), m_settings(settings), m_walker(abortFlag),
      m_found(settings.mode, settings.criterion) {
    m_walker.setPattern(settings.pattern);
    m_walker.callbacks().file = [this](const scan::WalkFolder& folder,
                                       const platform::DirEntry& entry) { collect(folder, entry); };
}

void Search::collect(const scan::WalkFolder& folder, const platform::DirEntry& entry) {
    if (!m_settings.filter.passes(entry.size))
        return;
    if (!m_found.add(folder.path, entry)) {
        m_full = true;
        m_abort = true;
    }
}

void Search::scanDrives(const QList<QChar>& letters) {
    m_walker.scanAllDrives(letters);
}

void Search::scanTree(const QString& root) {
    m_walker.walkTree(root);
}

int Search::fillGrid(TextGrid& grid) {
    grid.clearRows();
    const int rows = m_found.moveToGrid(grid);
    // The rows come largest first, as a descending "&Size" sort leaves them; so does the
    // command's direction, which is ascending for its next use.
    if (m_settings.mode == Mode::FileHogs)
        sortDirections().size = SortDirection(false);
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

// ---- marking ---------------------------------------------------------------------------------

bool Marks::toggle(TextGrid& grid, int row, Mode mode) {
    if (row < 1 || row >= grid.rowCount())
        return false;
    const QString path = rowPath(grid, row, mode);
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

void Marks::clear(TextGrid& grid) {
    grid.clearMarks();
    m_count = 0;
    m_bytes = 0;
    m_files.clear();
}

QStringList Marks::paths() const {
    QStringList paths;
    paths.reserve(m_files.size());
    for (const ListedFile& file : m_files)
        paths << file.path;
    return paths;
}

void Marks::markAll(TextGrid& grid, Mode mode) {
    clear(grid);
    m_files.reserve(grid.rowCount());
    for (int row = 1; row < grid.rowCount(); ++row)
        toggle(grid, row, mode);
}

QString Marks::statusText() const {
    return QStringLiteral("%1 files %2 bytes").arg(m_count).arg(FormatThousands(m_bytes));
}

// ---- sorting ---------------------------------------------------------------------------------

SortDirection& SortDirections::of(SortCommand command) {
    switch (command) {
    case SortCommand::Size:
        return size;
    case SortCommand::Date:
        return date;
    case SortCommand::AccessDate:
        return accessDate;
    case SortCommand::Name:
        return name;
    case SortCommand::Type:
        return type;
    }
    return size;
}

SortDirections& sortDirections() {
    static SortDirections directions;
    return directions;
}

namespace {

// Each sort command: the column it sorts and how it reads the column's cells.
struct SortCommandColumn {
    SortCommand command;
    int column;
    void (*sort)(TextGrid& grid, int first, int last, int column, bool descending);
};
const SortCommandColumn kSortCommands[] = {
    {SortCommand::Size, hcSize, SortGridByNumber},
    {SortCommand::Date, hcModified, SortGridByDate},
    {SortCommand::AccessDate, hcAccess, SortGridByDate},
    {SortCommand::Name, hcFileName, SortGridByText},
    {SortCommand::Type, hcType, SortGridByText},
};

} // namespace

std::optional<SortCommand> sortCommandForColumn(int column) {
    for (const SortCommandColumn& c : kSortCommands) {
        if (c.column == column)
            return c.command;
    }
    return std::nullopt;
}

void sortHogGrid(TextGrid& grid, SortCommand command) {
    if (grid.rowCount() < 2)
        return;
    for (const SortCommandColumn& c : kSortCommands) {
        if (c.command == command)
            c.sort(grid, 1, grid.rowCount() - 1, c.column, sortDirections().of(command).take());
    }
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

QString clipboardText(const TextGrid& grid, Mode mode) {
    QStringList lines;
    lines.reserve(grid.rowCount());
    for (int row = 1; row < grid.rowCount(); ++row)
        lines << rowPath(grid, row, mode);
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace dups
