#include "stats/statscan.h"

#include "app/format.h"

#include <algorithm>

namespace stats {

int sizeClassOf(qint64 size) {
    qint64 bound = 16384;
    for (int c = 1; c < kSizeClasses; ++c, bound *= 2)
        if (size <= bound)
            return c;
    return kSizeClasses;
}

int ageToIndex(qint64 days) {
    static const qint64 kUpper[] = {7, 30, 60, 120, 365, 730, 1095, 1460};
    if (days < 0)
        return 0;
    for (int i = 0; i < int(std::size(kUpper)); ++i)
        if (days <= kUpper[i])
            return i + 1;
    return 9;
}

namespace {

// The date of a packed value, or 1 January 1980 when it is no valid DOS date-time.
QDate packedDateOr1980(quint32 packed, int* hour) {
    const QDate d = filetime::dosDate(packed);
    const int h = int(packed >> 11 & 0x1F), m = int(packed >> 5 & 0x3F), s = int(packed & 0x1F) * 2;
    if (!d.isValid() || h > 23 || m > 59 || s > 59) {
        *hour = 0;
        return QDate(1980, 1, 1);
    }
    *hour = h;
    return d;
}

} // namespace

qint64 fileDateAgeDays(quint32 packed, const QDate& today) {
    if (packed == 0)
        return -1;
    int hour = 0;
    const qint64 days = today.toJulianDay() - packedDateOr1980(packed, &hour).toJulianDay();
    return days < 0 ? -days : days;
}

int fileDateHour(quint32 packed) {
    if (packed == 0)
        return -1;
    int hour = 0;
    packedDateOr1980(packed, &hour);
    return hour;
}

// ---- the filter --------------------------------------------------------------------------

QString extractExtension(const QString& entry) {
    const qsizetype tab = entry.indexOf(QLatin1Char('\t'));
    return entry.mid(1, tab < 0 ? -1 : tab - 1).toLower();
}

QStringView fileExtension(QStringView name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QStringView() : name.mid(dot);
}

FileFilter::FileFilter(const TypeFilter& filter)
    : m_all(filter.allFiles), m_whenListed(filter.whenListed),
      m_whenNotListed(filter.whenNotListed) {
    for (const QString& entry : filter.entries)
        m_extensions.push_back(extractExtension(entry));
}

bool FileFilter::isThisSelected(QStringView name) const {
    if (m_all)
        return true;
    const QStringView e = fileExtension(name);
    for (const QString& listed : m_extensions)
        if (e.compare(listed, Qt::CaseInsensitive) == 0)
            return m_whenListed;
    return m_whenNotListed;
}

// ---- the type table ----------------------------------------------------------------------

int TypeTable::findTypeRow(QStringView extension) const {
    if (m_last >= 0 && m_last < size() &&
        compareIgnoringCase(m_rows[size_t(m_last)].extension, extension) == 0)
        return m_last;
    int low = 0, high = size() - 1;
    while (low <= high) {
        const int mid = (low + high) / 2;
        const int c = compareIgnoringCase(m_rows[size_t(mid)].extension, extension);
        if (c == 0)
            return mid;
        if (c < 0)
            low = mid + 1;
        else
            high = mid - 1;
    }
    return -1;
}

void TypeTable::insertType(QStringView extension, qint64 size, bool preset) {
    if (extension.size() >= 6)
        return;
    const int row = findTypeRow(extension);
    if (row >= 0) {
        m_last = row;
        if (!preset) {
            ++m_rows[size_t(row)].files;
            m_rows[size_t(row)].bytes += size;
        }
        return;
    }
    TypeRow added{extension.toString().toUpper(), preset ? 0 : 1, preset ? 0 : size};
    const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), added,
                                     [](const TypeRow& a, const TypeRow& b) {
                                         return compareIgnoringCase(a.extension, b.extension) < 0;
                                     });
    m_last = int(m_rows.insert(at, std::move(added)) - m_rows.begin());
}

QStringList TypeTable::lines() const {
    QStringList out;
    for (const TypeRow& r : m_rows)
        out << r.extension + QLatin1Char('\t') + QString::number(r.files) + QLatin1Char('\t') +
                   QString::number(r.bytes);
    return out;
}

// ---- the totals --------------------------------------------------------------------------

qint64 StatTotals::totalBytes() const {
    qint64 sum = 0;
    for (qint64 b : sizeClassBytes)
        sum += b;
    return sum;
}

void crunchNumbers(StatTotals& t, const FileFilter& filter, QStringView name, quint32 attributes,
                   qint64 size, const std::array<quint32, 3>& packed, const QDate& today,
                   bool overhang) {
    if (!filter.isThisSelected(name))
        return;
    ++t.filesCounted;

    // collectFileAttr: a file with several attributes counts under each.
    static const std::pair<quint32, AttrTally> kTallies[] = {{platform::faReadOnly, atReadOnly},
                                                             {platform::faHidden, atHidden},
                                                             {platform::faSysFile, atSystem},
                                                             {platform::faArchive, atArchive}};
    for (const auto& [bit, tally] : kTallies) {
        if (attributes & bit) {
            ++t.attrCount[tally];
            t.attrBytes[tally] += size;
        }
    }

    // DropIntoHourSlot
    const int created = fileDateHour(packed[tkCreated]);
    if (created >= 0)
        ++t.createdHourCount[size_t(created)];
    const int modified = fileDateHour(packed[tkModified]);
    if (modified >= 0)
        ++t.modifiedHourCount[size_t(modified)];

    for (int k = 0; k < 3; ++k) {
        const int i = ageToIndex(fileDateAgeDays(packed[size_t(k)], today));
        ++t.ageCount[size_t(k)][size_t(i)];
        t.ageBytes[size_t(k)][size_t(i)] += size;
    }

    t.types.insertType(fileExtension(name), size, false);

    const size_t c = size_t(sizeClassOf(size) - 1);
    ++t.sizeClassCount[c];
    t.sizeClassBytes[c] += size;

    if (overhang) {
        for (int k = 0; k < kClusterSizes; ++k) {
            const qint64 r = size % kClusterSize[k];
            if (r != 0)
                t.clusterWaste[size_t(k)] += kClusterSize[k] - r;
        }
    }
}

// ---- the collection ----------------------------------------------------------------------

Collector::Collector(const TypeFilter& filter, const QDate& today)
    : m_typeFilter(filter), m_filter(filter), m_today(today) {
    // Every file, hidden and system ones too; no folders.
    m_walker.setFileMask(platform::faAnyFile & ~platform::faDirectory);
    m_walker.callbacks().file = [this](const scan::WalkFolder&, const platform::DirEntry& entry) {
        onFile(entry);
    };
}

void Collector::clearVariables() {
    m_totals = StatTotals();
    m_firstNames.clear();
    clearSkipped();
}

void Collector::onFile(const platform::DirEntry& entry) {
    ++m_totals.filesProcessed;
    // Another name of a file counted already adds nothing.
    if (!m_firstNames.first(entry.device, entry.inode, entry.links))
        return;
    const std::array<quint32, 3> packed{m_packer.pack(entry.accessTime),
                                        m_packer.pack(entry.creationTime),
                                        m_packer.pack(entry.writeTime)};
    crunchNumbers(m_totals, m_filter, entry.name, entry.attributes, entry.size, packed, m_today,
                  m_overhang);
}

void Collector::collectDrive(QChar letter) {
    m_walker.scanAllDrives({letter});
}

void Collector::collectTree(const QString& root) {
    m_walker.walkTree(root);
}

} // namespace stats
