#include "app/lists.h"

#include <QMap>
#include <algorithm>
#include <utility>

namespace lists {
const char* const TempFiles = "TempFiles";
const char* const CacheFiles = "CacheFiles";
const char* const Include = "Include";
const char* const Exclude = "Exclude";

QStringList defaultTempFiles() {
    return {QStringLiteral("*.tmp"), QStringLiteral("*.fts"), QStringLiteral("*.bak"),
            QStringLiteral("*.$$$")};
}

QStringList defaultTypeList() {
    return {QStringLiteral("*.doc"), QStringLiteral("*.exe"), QStringLiteral("*.dll")};
}
} // namespace lists

namespace {
QString fileKey(qint64 position) {
    return QStringLiteral("File") + QString::number(position);
}
} // namespace

QStringList readList(const IniFile& ini, const QString& section, const QStringList& defaults) {
    const QList<QPair<QString, QString>> keys = ini.readSection(section);
    const auto number =
        std::find_if(keys.cbegin(), keys.cend(), [](const QPair<QString, QString>& key) {
            return key.first.compare(QLatin1String("Number"), Qt::CaseInsensitive) == 0;
        });
    const qint64 count = IniFile::toInteger(number == keys.cend() ? QString() : number->second, -1);
    if (count == -1)
        return defaults;

    // One pass over the section's keys (a corrupt Number of billions costs nothing): the first
    // File<i> key of each position 1..count, in position order.
    QMap<qint64, QString> byPosition;
    const QString prefix = QStringLiteral("File");
    for (const auto& [name, value] : keys) {
        if (!name.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QString digits = name.mid(prefix.size());
        bool ok = false;
        const qint64 position = digits.toLongLong(&ok, 10);
        if (!ok || QString::number(position) != digits || position < 1 || position > count)
            continue;
        if (!byPosition.contains(position))
            byPosition.insert(position, value);
    }
    QStringList entries;
    for (const QString& value : std::as_const(byPosition)) {
        if (!value.isEmpty())
            entries << value;
    }
    return entries;
}

bool writeList(IniFile& ini, const QString& section, const QStringList& entries) {
    QList<QPair<QString, QString>> values;
    values.append({QStringLiteral("Number"), QString::number(entries.size())});
    for (int i = 0; i < entries.size(); ++i) {
        const QString& entry = entries[i];
        const int tab = entry.indexOf(QLatin1Char('\t'));
        values.append({fileKey(i + 1), tab < 0 ? entry : entry.left(tab)});
    }
    return ini.writeStrings(section, values).ok();
}
