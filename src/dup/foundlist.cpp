#include "dup/foundlist.h"

#include "app/filetime.h"
#include "app/format.h"
#include "dup/foundfields.h"
#include "dup/textids.h"
#include "stats/filetypes.h"

#include <QHash>
#include <QLocale>
#include <QStringView>
#include <algorithm>
#include <array>
#include <new>

namespace dups {

namespace {

constexpr QChar kTab(u'\t');

} // namespace

struct FoundList::Data {
    // One found file: indexes into the tables of distinct values, and its packed times.
    struct Record {
        quint32 name;
        quint32 folder;
        quint32 size;
        quint32 type;
        quint16 date;    // last write, packed date; 0 for none
        quint16 time;    // last write, packed time
        quint16 access;  // last access, packed date; 0 for none
        quint32 device;  // index into devices
        quint64 inode;   // 0: not known
        qint64 modified; // last write, nanoseconds since the epoch
        qint64 changed;  // last status change, nanoseconds since the epoch
    };
    std::vector<Record> records;

    TextIds names;
    std::vector<QString> folders; // each folder's files come together in a walk
    std::vector<qint64> sizes;
    QHash<qint64, quint32> sizeIds;
    TextIds types; // the type names of the files
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
        id.changed = r.changed;
        return id;
    }
    quint32 typeIdOf(const QString& name) { return types.idOf(fileTypeDescriptionOfName(name)); }

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
            return types.text(r.type);
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
        typeRank =
            rankTexts(types.size(), [this](quint32 i) { return QStringView(types.text(i)); });
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

    // A file with several names (hard links: one device and inode) is one file: only its
    // first name in walk order stays.  The names are found by sorting every record's device
    // and inode once, after the walk, so that the walk does no more work per file.  Records
    // are in walk order but for those ordered before, which are one name per file already and
    // all come first, so the first record of a file is its first name.
    void dropLaterNames() {
        struct Name {
            quint64 inode;
            quint32 device;
            quint32 index; // into records
        };
        std::vector<Name> known;
        known.reserve(records.size());
        for (size_t i = 0; i < records.size(); ++i) {
            if (records[i].inode != 0)
                known.push_back({records[i].inode, records[i].device, quint32(i)});
        }
        std::sort(known.begin(), known.end(), [](const Name& a, const Name& b) {
            if (a.inode != b.inode)
                return a.inode < b.inode;
            if (a.device != b.device)
                return a.device < b.device;
            return a.index < b.index;
        });
        std::vector<bool> drop;
        for (size_t k = 1; k < known.size(); ++k) {
            if (known[k].inode == known[k - 1].inode && known[k].device == known[k - 1].device) {
                if (drop.empty())
                    drop.assign(records.size(), false);
                drop[known[k].index] = true;
            }
        }
        if (drop.empty())
            return;
        size_t kept = 0;
        for (size_t i = 0; i < records.size(); ++i) {
            if (!drop[i])
                records[kept++] = records[i];
        }
        records.resize(kept);
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
        dropLaterNames();
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
        r.changed = entry.changeTime;
        d.records.push_back(r);
    } catch (const std::bad_alloc&) {
        // Translated here: no memory left means the list is full (add() says false).
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
    const FieldList columns = gridFields(m_mode, m_criterion);
    const qsizetype n = count();
    int rows = 0;
    auto append = [&](const Data::Record& r, quint32 group) {
        const int row = grid.appendJoinedRow(d.join(r, columns, TextGrid::cellSeparator()), false,
                                             d.identity(r));
        grid.setGroup(row, group);
        ++rows;
    };
    if (m_mode == Mode::FileHogs) {
        grid.reserveRows(grid.rowCount() + int(n));
        for (const Data::Record& r : d.records)
            append(r, 0);
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
        // Each group gets the next number after those of the grid's rows so far.
        quint32 group = grid.rowCount() > 1 ? grid.group(grid.rowCount() - 1) : 0;
        for (const auto& [first, end] : groups) {
            ++group;
            for (qsizetype k = first; k < end; ++k)
                append(d.records[size_t(k)], group);
        }
    }
    m_data = std::make_unique<Data>();
    return rows;
}

} // namespace dups
